// The main screen's panels: a raised face inset 15 points into the panel, holding a non-scrolling grid or
// list of cells. They hold no logic: the main screen gives them titles, images and counts, and they tell
// it what was chosen through their signals.
#pragma once

#include <QStringList>
#include <QWidget>
#include <array>

#include "engine/rule_store.h"

namespace quell {

class UICollectionView;

// The four rule lists as a 2 x 2 grid of tiles, each "name (count)", in the order the filter tests them.
class QBRulesView : public QWidget {
  Q_OBJECT

 public:
  QBRulesView(const QRect& frame, QWidget* parent);

  // The number of entries of each list, in RuleListKind order; shown at once.
  void setListSizes(const std::array<int, 4>& sizes);

 signals:
  // A tile was tapped (or activated from the keyboard or by assistive technology).
  void ruleListChosen(RuleListKind kind);

 private:
  UICollectionView* collectionView_ = nullptr;
  std::array<int, 4> sizes_ = {0, 0, 0, 0};
};

// A list of rows, each an icon and a title. With roundedIcons, the icons get rounded corners.
class QBFunctionView : public QWidget {
  Q_OBJECT

 public:
  QBFunctionView(const QRect& frame, QStringList titles, QStringList images, bool roundedIcons, QWidget* parent);

 signals:
  // The row at this index was tapped (or activated).
  void rowChosen(int row);

 private:
  QStringList titles_, images_;
  bool roundedIcons_;
};

}  // namespace quell
