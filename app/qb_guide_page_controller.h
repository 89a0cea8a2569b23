// QBGuidePageController: a full-screen guide to switching the filter on in the system settings: three
// cards (screenshots of the steps) in a strip that snaps one card per flick, a title, the settings path,
// "前往设置" (opens the system settings; the guide stays open) and "×" (closes the guide; so does Escape).
// It fits any page, upright or sideways, following every change of size.
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

  StatusBarStyle preferredStatusBarStyle() const { return StatusBarStyle::kLightContent; }
  // The card the strip rests on (0 to 2).
  int currentPage() const { return currentPage_; }

 protected:
  void viewDidLoad() override;
  void resizeEvent(QResizeEvent* event) override;

 private slots:
  void completionAction();
  void dismissAction();

 private:
  void scrollViewWillEndDragging(QPointF velocity, QPointF* targetContentOffset);
  void layoutGuide();

  double itemWidth_ = 0;
  double itemSpacing_ = 0;
  int currentPage_ = 0;
  UICollectionView* collectionView_ = nullptr;
  QLabel* backgroundView_ = nullptr;
  QLabel* titleLabel_ = nullptr;
  QLabel* setupPageLabel_ = nullptr;
  QPushButton* completionButton_ = nullptr;
  QPushButton* dismissButton_ = nullptr;
  QStringList images_;
  QStringList accessibilityLabels_;
};

// The address that opens this app's page in the system settings.
inline constexpr const char* UIApplicationOpenSettingsURLString = "app-settings:";

}  // namespace quell
