// QBGuidePageController: a full-screen guide to switching the filter on in the system settings: three
// cards (screenshots of the steps) in a strip that snaps one card per flick, a title, the settings path,
// "前往设置" (opens the system settings; the guide stays open) and "×" (closes the guide).
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QStringList>

#include "platform/ui/collection_view.h"
#include "platform/ui/view_controller.h"

namespace quell {

// One card: the step's screenshot, aspect-filled, with rounded corners on white.
class QBGuidePageCell : public QWidget {
 public:
  explicit QBGuidePageCell(QWidget* parent);
  void setImage(const QImage& image);
  QLabel* imageView;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
};

class QBGuidePageController : public UIViewController {
  Q_OBJECT

 public:
  enum class StatusBarStyle { kDefault, kLightContent };

  explicit QBGuidePageController(QWidget* parent = nullptr);

  double itemWidth = 0;
  double itemSpacing = 0;
  int currentPage = 0;
  UICollectionView* collectionView = nullptr;
  QStringList dataSourceArray;
  QStringList accessibilityLabelArray;
  QLabel* titleLabel = nullptr;
  QLabel* setupPageLabel = nullptr;
  QPushButton* completionButton = nullptr;
  QPushButton* dismissButton = nullptr;

  StatusBarStyle preferredStatusBarStyle() const { return StatusBarStyle::kLightContent; }
  void scrollViewWillEndDragging(QPointF velocity, QPointF* targetContentOffset);
  void completionAction();
  void dismissAction();

 protected:
  void viewDidLoad() override;
};

// The address that opens this app's page in the system settings.
inline constexpr const char* UIApplicationOpenSettingsURLString = "app-settings:";

}  // namespace quell
