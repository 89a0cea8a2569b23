// UICollectionView with a flow layout: cells of one size laid out in lines with line and item spacing and
// section insets, either in rows wrapping downwards (vertical) or in one row running sideways
// (horizontal). Cells come from a factory and are reused across reloads. A click on a cell (mouse or
// touch), or Space or Enter while it has the keyboard focus, reports its index to the delegate.
//
// A horizontal collection with scrolling on follows drags of the mouse or a finger; on release it
// reports the release velocity and the offset it would come to rest at to scrollViewWillEndDragging,
// which may change that offset, and then scrolls there, animated. Main thread only.
#pragma once

#include <QMarginsF>
#include <QSizeF>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

namespace quell {

struct UICollectionViewFlowLayout {
  enum class ScrollDirection { kVertical, kHorizontal };
  ScrollDirection scrollDirection = ScrollDirection::kVertical;
  QSizeF itemSize;
  double minimumLineSpacing = 10;
  double minimumInteritemSpacing = 10;
  QMarginsF sectionInset;
};

class UICollectionView : public QWidget {
  Q_OBJECT

 public:
  struct DataSource {
    std::function<int()> numberOfItems;
    std::function<QWidget*(QWidget* parent)> makeCell;  // for the reuse pool
    std::function<void(QWidget* cell, int item)> configureCell;
    std::function<void(int item)> didSelectItem;
  };

  UICollectionView(const UICollectionViewFlowLayout& layout, QWidget* parent = nullptr);

  void setDataSource(DataSource source) { source_ = std::move(source); }
  // Replaces the layout (after a change of size, say) and places the cells by it at once.
  void setCollectionViewLayout(const UICollectionViewFlowLayout& layout);
  void setScrollEnabled(bool enabled) { scrollEnabled_ = enabled; }
  // velocity in points per millisecond along the scroll direction; *target may be changed.
  std::function<void(QPointF velocity, QPointF* target)> scrollViewWillEndDragging;

  QPointF contentOffset() const { return offset_; }
  void setContentOffset(QPointF offset, bool animated);
  QSizeF contentSize() const;
  bool isAnimatingScroll() const { return animating_; }
  void reloadData();
  QWidget* cellForItem(int item) const;
  // Reports cell's index to the delegate, as a click on it would (for keys and assistive technology).
  void activateCell(QWidget* cell);
  int numberOfItems() const { return visible_; }
  const UICollectionViewFlowLayout& layout() const { return layout_; }
  // The frame of item i under the flow layout.
  QRectF frameForItem(int item) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void placeCells();
  bool handleDrag(QObject* watched, QEvent* event);

  UICollectionViewFlowLayout layout_;
  DataSource source_;
  std::vector<QWidget*> pool_;
  int visible_ = 0;
  bool scrollEnabled_ = false;
  QPointF offset_;
  bool animating_ = false;
  // The drag under way: where it started, and recent (time, position) samples for the velocity.
  std::optional<QPointF> dragStart_;
  QPointF dragStartOffset_;
  bool dragged_ = false;
  std::vector<std::pair<qint64, double>> samples_;
};

}  // namespace quell
