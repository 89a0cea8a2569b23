// The main screen's panels: a raised face inset 15 points into the panel, holding a non-scrolling grid or
// list of cells. They hold no logic: the main screen gives them titles, images and counts, and they hand
// taps back to their delegate (held weakly; a tap on a panel whose delegate is gone does nothing).
#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <vector>

#include "platform/ui/collection_view.h"

namespace quell {

class QBRulesView;
class QBFunctionView;

class QBRulesViewDelegate {
 public:
  virtual ~QBRulesViewDelegate() = default;
  virtual void rulesViewDidSelectItemAt(QBRulesView* view, int item) = 0;
};

class QBFunctionViewDelegate {
 public:
  virtual ~QBFunctionViewDelegate() = default;
  virtual void functionViewDidSelectItemAt(QBFunctionView* view, int item) = 0;
};

// The four rule lists as a 2 x 2 grid of tiles, each "name (count)".
class QBRulesView : public QWidget {
 public:
  QBRulesView(const QRect& frame, QWidget* parent);

  UICollectionView* collectionView = nullptr;
  QStringList dataSourceArray = {"号码白名单", "号码黑名单", "关键字白名单", "关键字黑名单"};
  QStringList dataSourceImageArray = {"numberWhitelist.png", "numberBlacklist.png", "keywordWhitelist.png",
                                      "keywordBlacklist.png"};
  std::vector<int> dataSourceRuleArray;
  // A QObject that implements QBRulesViewDelegate.
  QPointer<QObject> delegate;

  void reloadData() { collectionView->reloadData(); }
};

// A list of rows, each an icon and a title. With `app` set, the icons get rounded corners.
class QBFunctionView : public QWidget {
 public:
  QBFunctionView(const QRect& frame, QWidget* parent);

  QWidget* backgroundView = nullptr;
  UICollectionView* collectionView = nullptr;
  QStringList dataSourceArray;
  QStringList dataSourceImageArray;
  bool app = false;
  // A QObject that implements QBFunctionViewDelegate.
  QPointer<QObject> delegate;

  // Lays the rows out anew for the current titles (their height depends on their number).
  void reloadData();
};

}  // namespace quell
