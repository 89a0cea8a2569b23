#include "platform/ui/collection_view.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QVariantAnimation>
#include <algorithm>
#include <cmath>

namespace quell {

UICollectionView::UICollectionView(const UICollectionViewFlowLayout& layout, QWidget* parent)
    : QWidget(parent), layout_(layout) {
  installEventFilter(this);  // drags that start between the cells
}

QRectF UICollectionView::frameForItem(int item) const {
  const auto& l = layout_;
  if (l.scrollDirection == UICollectionViewFlowLayout::ScrollDirection::kHorizontal) {
    // One row; an inset taller than the room left is given up rather than pushing the cells out.
    double y = l.sectionInset.top();
    if (y + l.itemSize.height() + l.sectionInset.bottom() > height())
      y = std::max(0.0, (height() - l.itemSize.height()) / 2);
    return QRectF(QPointF(l.sectionInset.left() + item * (l.itemSize.width() + l.minimumLineSpacing), y), l.itemSize);
  }
  double usable = width() - l.sectionInset.left() - l.sectionInset.right();
  // As many items per line as fit (at least one); fractional sizes are kept, as the layout computes them.
  int perLine = std::max(1, static_cast<int>(std::floor((usable + l.minimumInteritemSpacing + 1e-6) /
                                                        (l.itemSize.width() + l.minimumInteritemSpacing))));
  int line = item / perLine, column = item % perLine;
  double spacing =
      perLine > 1 ? std::max(l.minimumInteritemSpacing, (usable - perLine * l.itemSize.width()) / (perLine - 1)) : 0;
  double x = l.sectionInset.left() + column * (l.itemSize.width() + spacing);
  double y = l.sectionInset.top() + line * (l.itemSize.height() + l.minimumLineSpacing);
  return QRectF(QPointF(x, y), l.itemSize);
}

void UICollectionView::setCollectionViewLayout(const UICollectionViewFlowLayout& layout) {
  layout_ = layout;
  placeCells();
}

void UICollectionView::resizeEvent(QResizeEvent*) { placeCells(); }

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
    if (source_.configureCell) source_.configureCell(cell, i);
    cell->show();
  }
  placeCells();
}

void UICollectionView::placeCells() {
  for (int i = 0; i < visible_; ++i)
    pool_[static_cast<std::size_t>(i)]->setGeometry(frameForItem(i).translated(-offset_).toAlignedRect());
}

QSizeF UICollectionView::contentSize() const {
  if (visible_ == 0) return {};
  QRectF last = frameForItem(visible_ - 1);
  return {last.right() + layout_.sectionInset.right(), last.bottom() + layout_.sectionInset.bottom()};
}

void UICollectionView::setContentOffset(QPointF offset, bool animated) {
  if (!animated) {
    offset_ = offset;
    placeCells();
    return;
  }
  auto* animation = new QVariantAnimation(this);
  animation->setDuration(300);
  animation->setStartValue(offset_);
  animation->setEndValue(offset);
  animation->setEasingCurve(QEasingCurve::OutCubic);
  connect(animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
    offset_ = value.toPointF();
    placeCells();
  });
  connect(animation, &QVariantAnimation::finished, this, [this] { animating_ = false; });
  animating_ = true;
  animation->start(QAbstractAnimation::DeleteWhenStopped);
}

QWidget* UICollectionView::cellForItem(int item) const {
  return item >= 0 && item < visible_ ? pool_[static_cast<std::size_t>(item)] : nullptr;
}

bool UICollectionView::handleDrag(QObject* watched, QEvent* event) {
  auto* mouse = static_cast<QMouseEvent*>(event);
  const double x = mapFromGlobal(mouse->globalPosition()).x();
  const qint64 now = mouse->timestamp();
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      dragStart_ = QPointF(x, 0);
      dragStartOffset_ = offset_;
      dragged_ = false;
      samples_ = {{now, x}};
      return false;
    case QEvent::MouseMove: {
      if (!dragStart_) return false;
      double dx = x - dragStart_->x();
      if (std::abs(dx) > 5) dragged_ = true;
      // Past either end the strip follows at half the finger's pace, as a rubber band would.
      double maxOffset = std::max(0.0, contentSize().width() - width());
      double wanted = dragStartOffset_.x() - dx;
      double clamped = std::clamp(wanted, 0.0, maxOffset);
      offset_.setX(clamped + (wanted - clamped) / 2);
      placeCells();
      samples_.push_back({now, x});
      return true;
    }
    case QEvent::MouseButtonRelease: {
      if (!dragStart_) return false;
      dragStart_.reset();
      if (!dragged_) return false;  // a tap: the cell's own click
      // Velocity over the last 100 ms of the drag, in the scroll direction (the finger moving left
      // scrolls forwards).
      samples_.push_back({now, x});
      auto first = samples_.begin();
      while (now - first->first > 100 && first + 1 != samples_.end()) ++first;
      double dt = static_cast<double>(now - first->first);
      double velocity = dt > 0 ? -(x - first->second) / dt : 0.0;
      double maxOffset = std::max(0.0, contentSize().width() - width());
      QPointF target(std::clamp(offset_.x() + velocity * 100, 0.0, maxOffset), offset_.y());
      if (scrollViewWillEndDragging) scrollViewWillEndDragging(QPointF(velocity, 0), &target);
      setContentOffset(target, true);
      return true;
    }
    default: return false;
  }
  (void)watched;
}

void UICollectionView::activateCell(QWidget* cell) {
  for (int i = 0; i < visible_; ++i)
    if (pool_[static_cast<std::size_t>(i)] == cell && source_.didSelectItem) source_.didSelectItem(i);
}

bool UICollectionView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && watched != this) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
      activateCell(static_cast<QWidget*>(watched));
      return true;
    }
  }
  if (scrollEnabled_ && layout_.scrollDirection == UICollectionViewFlowLayout::ScrollDirection::kHorizontal &&
      (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseMove ||
       event->type() == QEvent::MouseButtonRelease) &&
      handleDrag(watched, event))
    return true;
  if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    auto* cell = static_cast<QWidget*>(watched);
    if (!cell->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) return false;
    activateCell(cell);
  }
  return false;
}

}  // namespace quell
