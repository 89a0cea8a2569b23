#include "app/qb_panels.h"

#include "app/qb_panel_cells.h"
#include "app/rounded_image.h"
#include "platform/ui/image_resources.h"
#include "uikit/raised_face.h"
#include "uikit/view_style.h"

namespace quell {

namespace {

constexpr int kFaceInset = 15;
const char* kRuleListTitles[4] = {"号码白名单", "号码黑名单", "关键字白名单", "关键字黑名单"};
const char* kRuleListImages[4] = {"numberWhitelist.png", "numberBlacklist.png", "keywordWhitelist.png",
                                  "keywordBlacklist.png"};

}  // namespace

QBPanel::QBPanel(QWidget* parent) : QWidget(parent), face_(new QWidget(this)) {
  makeRaised(face_, 20);
  collectionView_ = new UICollectionView(UICollectionViewFlowLayout(), face_);
}

// The face inset into the panel, its shadows, and the cells on it, from the panel's size.
void QBPanel::resizeEvent(QResizeEvent*) {
  face_->setGeometry(kFaceInset, kFaceInset, std::max(0, width() - 2 * kFaceInset),
                     std::max(0, height() - 2 * kFaceInset));
  applyNeumorphicStyle(face_);
  collectionView_->setGeometry(face_->rect());
  collectionView_->setCollectionViewLayout(layoutForFace(face_->size()));
}

QBRulesView::QBRulesView(QWidget* parent) : QBPanel(parent) {
  collectionView()->setDataSource({
      [] { return static_cast<int>(kAllRuleListKinds.size()); },
      [](QWidget* parent) -> QWidget* { return new QBRulesCell(parent); },
      [this](QWidget* cell, int item) {
        static_cast<QBRulesCell*>(cell)->configure(
            QString("%1 (%2)").arg(QString::fromUtf8(kRuleListTitles[item])).arg(sizes_[item]),
            imageNamed(kRuleListImages[item]));
      },
      [this](int item) { emit ruleListChosen(kAllRuleListKinds[static_cast<std::size_t>(item)]); },
  });
  collectionView()->reloadData();
}

UICollectionViewFlowLayout QBRulesView::layoutForFace(QSizeF face) const {
  const double n = std::size(kRuleListTitles);
  UICollectionViewFlowLayout layout;
  layout.minimumLineSpacing = 1;
  layout.minimumInteritemSpacing = 1;
  layout.sectionInset = QMarginsF(15, 15, 15, 15);
  layout.itemSize = QSizeF((face.width() - 30) * 0.5 - 1, (face.height() - 30 - 1) / (n * 0.5));
  return layout;
}

void QBRulesView::setListSizes(const std::array<int, 4>& sizes) {
  sizes_ = sizes;
  collectionView()->reloadData();
}

QBFunctionView::QBFunctionView(QStringList titles, QStringList images, bool roundedIcons, QWidget* parent)
    : QBPanel(parent), titles_(std::move(titles)), images_(std::move(images)), roundedIcons_(roundedIcons) {
  collectionView()->setDataSource({
      [this] { return static_cast<int>(titles_.size()); },
      [](QWidget* parent) -> QWidget* { return new QBFunctionCell(parent); },
      [this](QWidget* cell, int row) {
        QImage image = imageNamed(images_.value(row));
        if (roundedIcons_ && !image.isNull()) image = roundedImage(image, 8, false);
        static_cast<QBFunctionCell*>(cell)->configure(titles_[row], image);
      },
      [this](int row) { emit rowChosen(row); },
  });
  collectionView()->reloadData();
}

UICollectionViewFlowLayout QBFunctionView::layoutForFace(QSizeF face) const {
  const int n = std::max<int>(1, static_cast<int>(titles_.size()));
  UICollectionViewFlowLayout layout;
  layout.minimumLineSpacing = 0;
  layout.minimumInteritemSpacing = 0;
  layout.sectionInset = QMarginsF(15, 0, 15, 0);
  // Rows fill the room between the side insets (rather than being as wide as the face and clipped).
  layout.itemSize = QSizeF(face.width() - 30, face.height() / n);
  return layout;
}

}  // namespace quell
