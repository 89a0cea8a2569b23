#include "platform/ui/collection_view.h"

#include <QEvent>
#include <QMouseEvent>
#include <cmath>

namespace quell {

UICollectionView::UICollectionView(const UICollectionViewFlowLayout& layout, QWidget* parent)
    : QWidget(parent), layout_(layout) {}

QRectF UICollectionView::frameForItem(int item) const {
  const auto& l = layout_;
  double usable = width() - l.sectionInset.left() - l.sectionInset.right();
  // As many items per line as fit (at least one); fractional sizes are kept, as the layout computes them.
  int perLine = std::max(1, static_cast<int>(std::floor((usable + l.minimumInteritemSpacing + 1e-6) /
                                                        (l.itemSize.width() + l.minimumInteritemSpacing))));
  int line = item / perLine, column = item % perLine;
  double spacing = perLine > 1 ? std::max(l.minimumInteritemSpacing,
                                          (usable - perLine * l.itemSize.width()) / (perLine - 1))
                               : 0;
  double x = l.sectionInset.left() + column * (l.itemSize.width() + spacing);
  double y = l.sectionInset.top() + line * (l.itemSize.height() + l.minimumLineSpacing);
  return QRectF(QPointF(x, y), l.itemSize);
}

void UICollectionView::reloadData() {
  visible_ = source_.numberOfItems ? source_.numberOfItems() : 0;
  while (static_cast<int>(pool_.size()) < visible_ && source_.makeCell) {
    QWidget* cell = source_.makeCell(this);
    cell->installEventFilter(this);
    pool_.push_back(cell);
  }
  for (int i = 0; i < static_cast<int>(pool_.size()); ++i) {
    QWidget* cell = pool_[static_cast<std::size_t>(i)];
    if (i >= visible_) {
      cell->hide();
      continue;
    }
    cell->setGeometry(frameForItem(i).toAlignedRect());
    if (source_.configureCell) source_.configureCell(cell, i);
    cell->show();
  }
}

QWidget* UICollectionView::cellForItem(int item) const {
  return item >= 0 && item < visible_ ? pool_[static_cast<std::size_t>(item)] : nullptr;
}

bool UICollectionView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    auto* cell = static_cast<QWidget*>(watched);
    if (!cell->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) return false;
    for (int i = 0; i < visible_; ++i)
      if (pool_[static_cast<std::size_t>(i)] == cell && source_.didSelectItem) source_.didSelectItem(i);
  }
  return false;
}

}  // namespace quell
