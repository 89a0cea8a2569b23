// UICollectionView with a flow layout: cells of one size laid out in lines (left to right, wrapping),
// with line and item spacing and section insets; scrolling off. Cells come from a factory and are reused
// across reloads. A click on a cell (mouse or touch) reports its index to the delegate. Main thread only.
#pragma once

#include <QMarginsF>
#include <QSizeF>
#include <QWidget>
#include <functional>
#include <vector>

namespace quell {

struct UICollectionViewFlowLayout {
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
  void reloadData();
  QWidget* cellForItem(int item) const;
  int numberOfItems() const { return visible_; }
  const UICollectionViewFlowLayout& layout() const { return layout_; }
  // The frame of item i under the flow layout.
  QRectF frameForItem(int item) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  UICollectionViewFlowLayout layout_;
  DataSource source_;
  std::vector<QWidget*> pool_;
  int visible_ = 0;
};

}  // namespace quell
