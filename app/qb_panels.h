// The main screen's panels: a raised face inset 15 points into the panel, holding a non-scrolling grid or
// list of cells. The face, its shadows and the cells follow the panel's size whenever it changes. They
// hold no logic: the main screen gives them titles, images and counts, and they tell it what was chosen
// through their signals.
#pragma once

#include <QStringList>
#include <QWidget>
#include <array>

#include "engine/rule_store.h"
#include "platform/ui/collection_view.h"

namespace quell {

// What both panels share: the face and the collection on it, laid out from the panel's size.
class QBPanel : public QWidget {
  Q_OBJECT

 protected:
  explicit QBPanel(QWidget* parent);
  UICollectionView* collectionView() const { return collectionView_; }
  // The collection's layout on a face of this size.
  virtual UICollectionViewFlowLayout layoutForFace(QSizeF face) const = 0;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QWidget* face_;
  UICollectionView* collectionView_;
};

// The four rule lists as a 2 x 2 grid of tiles, each "name (count)", in the order the filter tests them.
class QBRulesView : public QBPanel {
  Q_OBJECT

 public:
  explicit QBRulesView(QWidget* parent);

  // The number of entries of each list, in RuleListKind order; shown at once.
  void setListSizes(const std::array<int, 4>& sizes);

 signals:
  // A tile was tapped (or activated from the keyboard or by assistive technology).
  void ruleListChosen(RuleListKind kind);

 protected:
  UICollectionViewFlowLayout layoutForFace(QSizeF face) const override;

 private:
  std::array<int, 4> sizes_ = {0, 0, 0, 0};
};

// A list of rows, each an icon and a title. With roundedIcons, the icons get rounded corners.
class QBFunctionView : public QBPanel {
  Q_OBJECT

 public:
  QBFunctionView(QStringList titles, QStringList images, bool roundedIcons, QWidget* parent);

 signals:
  // The row at this index was tapped (or activated).
  void rowChosen(int row);

 protected:
  UICollectionViewFlowLayout layoutForFace(QSizeF face) const override;

 private:
  QStringList titles_, images_;
  bool roundedIcons_;
};

}  // namespace quell
