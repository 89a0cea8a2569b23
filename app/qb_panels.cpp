#include "app/qb_panels.h"

#include "app/qb_panel_cells.h"
#include "app/rounded_image.h"
#include "platform/ui/collection_view.h"
#include "platform/ui/image_resources.h"
#include "platform/ui/view_background.h"
#include "uikit/palette.h"
#include "uikit/view_style.h"

namespace quell {

namespace {

const char* kRuleListTitles[4] = {"号码白名单", "号码黑名单", "关键字白名单", "关键字黑名单"};
const char* kRuleListImages[4] = {"numberWhitelist.png", "numberBlacklist.png", "keywordWhitelist.png",
                                  "keywordBlacklist.png"};

// The raised face both panels draw, inset 15 points into the panel. In light it is the page's colour,
// raised by a soft shade below and a glow above; in dark, where a shade cannot show on the black page, it
// is a shade lighter than the page, with the kit's dark shadow colours (a faint glow above).
QWidget* makeFace(QWidget* panel) {
  auto* face = new QWidget(panel);
  face->setGeometry(15, 15, panel->width() - 30, panel->height() - 30);
  setBackgroundColor(face, create(qb_backgroundColor(), UIColor::systemGray6Color()));
  lightShadowColor.set(face, create(UIColor::colorWithRGBA(1, 1, 1, 0.7), UIColor::colorWithRGBA(1, 1, 1, 0.1)));
  darkShadowColor.set(face, create(UIColor::colorWithRGBA(8 / 255.0, 8 / 255.0, 33 / 255.0, 0.12),
                                   UIColor::colorWithRGBA(0, 0, 0, 0.9)));
  active.set(face, true);
  cornerRadius.set(face, 20);
  shadowDarkOffsetX.set(face, 8);
  shadowDarkOffsetY.set(face, 8);
  shadowLightOffsetX.set(face, -8);
  shadowLightOffsetY.set(face, -8);
  applyNeumorphicStyle(face);
  return face;
}

}  // namespace

QBRulesView::QBRulesView(const QRect& frame, QWidget* parent) : QWidget(parent) {
  setGeometry(frame);
  QWidget* face = makeFace(this);
  const double fw = face->width(), fh = face->height(), n = std::size(kRuleListTitles);
  UICollectionViewFlowLayout layout;
  layout.minimumLineSpacing = 1;
  layout.minimumInteritemSpacing = 1;
  layout.sectionInset = QMarginsF(15, 15, 15, 15);
  layout.itemSize = QSizeF((fw - 30) * 0.5 - 1, (fh - 30 - 1) / (n * 0.5));
  collectionView_ = new UICollectionView(layout, face);
  collectionView_->setGeometry(face->rect());
  collectionView_->setDataSource({
      [] { return static_cast<int>(kAllRuleListKinds.size()); },
      [](QWidget* parent) -> QWidget* { return new QBRulesCell(parent); },
      [this](QWidget* cell, int item) {
        static_cast<QBRulesCell*>(cell)->configure(
            QString("%1 (%2)").arg(QString::fromUtf8(kRuleListTitles[item])).arg(sizes_[item]),
            imageNamed(kRuleListImages[item]));
      },
      [this](int item) { emit ruleListChosen(kAllRuleListKinds[static_cast<std::size_t>(item)]); },
  });
  collectionView_->reloadData();
}

void QBRulesView::setListSizes(const std::array<int, 4>& sizes) {
  sizes_ = sizes;
  collectionView_->reloadData();
}

QBFunctionView::QBFunctionView(const QRect& frame, QStringList titles, QStringList images, bool roundedIcons,
                               QWidget* parent)
    : QWidget(parent), titles_(std::move(titles)), images_(std::move(images)), roundedIcons_(roundedIcons) {
  setGeometry(frame);
  QWidget* face = makeFace(this);
  const int n = std::max<int>(1, static_cast<int>(titles_.size()));
  UICollectionViewFlowLayout layout;
  layout.minimumLineSpacing = 0;
  layout.minimumInteritemSpacing = 0;
  layout.sectionInset = QMarginsF(15, 0, 15, 0);
  // Rows fill the room between the side insets (rather than being as wide as the face and clipped).
  layout.itemSize = QSizeF(face->width() - 30, static_cast<double>(face->height()) / n);
  auto* collectionView = new UICollectionView(layout, face);
  collectionView->setGeometry(face->rect());
  collectionView->setDataSource({
      [this] { return static_cast<int>(titles_.size()); },
      [](QWidget* parent) -> QWidget* { return new QBFunctionCell(parent); },
      [this](QWidget* cell, int row) {
        QImage image = imageNamed(images_.value(row));
        if (roundedIcons_ && !image.isNull()) image = roundedImage(image, 8, false);
        static_cast<QBFunctionCell*>(cell)->configure(titles_[row], image);
      },
      [this](int row) { emit rowChosen(row); },
  });
  collectionView->reloadData();
}

}  // namespace quell
