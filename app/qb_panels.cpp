#include "app/qb_panels.h"

#include "app/qb_panel_cells.h"
#include "app/rounded_image.h"
#include "platform/ui/image_resources.h"
#include "platform/ui/view_background.h"
#include "uikit/palette.h"
#include "uikit/view_style.h"

namespace quell {

namespace {

// The raised face both panels draw, inset 15 points into the panel.
QWidget* makeFace(QWidget* panel) {
  auto* face = new QWidget(panel);
  face->setGeometry(15, 15, panel->width() - 30, panel->height() - 30);
  setBackgroundColor(face, qb_backgroundColor());
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
  const double fw = face->width(), fh = face->height(), n = dataSourceArray.size();
  UICollectionViewFlowLayout layout;
  layout.minimumLineSpacing = 1;
  layout.minimumInteritemSpacing = 1;
  layout.sectionInset = QMarginsF(15, 15, 15, 15);
  layout.itemSize = QSizeF((fw - 30) * 0.5 - 1, (fh - 30 - 1) / (n * 0.5));
  collectionView = new UICollectionView(layout, face);
  collectionView->setGeometry(face->rect());
  collectionView->setDataSource({
      [this] { return static_cast<int>(dataSourceArray.size()); },
      [](QWidget* parent) -> QWidget* { return new QBRulesCell(parent); },
      [this](QWidget* cell, int row) {
        int count = row < static_cast<int>(dataSourceRuleArray.size()) ? dataSourceRuleArray[row] : 0;
        static_cast<QBRulesCell*>(cell)->configure(QString("%1 (%2)").arg(dataSourceArray[row]).arg(count),
                                                   imageNamed(dataSourceImageArray.value(row)));
      },
      [this](int row) {
        if (auto* d = dynamic_cast<QBRulesViewDelegate*>(delegate.data())) d->rulesViewDidSelectItemAt(this, row);
      },
  });
}

QBFunctionView::QBFunctionView(const QRect& frame, QWidget* parent) : QWidget(parent) {
  setGeometry(frame);
  backgroundView = makeFace(this);
  reloadData();
}

void QBFunctionView::reloadData() {
  const double fw = backgroundView->width(), fh = backgroundView->height();
  const int n = std::max<int>(1, static_cast<int>(dataSourceArray.size()));
  UICollectionViewFlowLayout layout;
  layout.minimumLineSpacing = 0;
  layout.minimumInteritemSpacing = 0;
  layout.sectionInset = QMarginsF(15, 0, 15, 0);
  // Rows fill the room between the side insets (rather than being as wide as the face and clipped).
  layout.itemSize = QSizeF(fw - 30, fh / n);
  delete collectionView;
  collectionView = new UICollectionView(layout, backgroundView);
  collectionView->setGeometry(backgroundView->rect());
  collectionView->setDataSource({
      [this] { return static_cast<int>(dataSourceArray.size()); },
      [](QWidget* parent) -> QWidget* { return new QBFunctionCell(parent); },
      [this](QWidget* cell, int row) {
        QImage image = imageNamed(dataSourceImageArray.value(row));
        if (app && !image.isNull()) image = roundedImage(image, 8, false);
        static_cast<QBFunctionCell*>(cell)->configure(dataSourceArray[row], image);
      },
      [this](int row) {
        if (auto* d = dynamic_cast<QBFunctionViewDelegate*>(delegate.data())) d->functionViewDidSelectItemAt(this, row);
      },
  });
  collectionView->show();
  collectionView->reloadData();
}

}  // namespace quell
