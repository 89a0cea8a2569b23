// ViewController: the app's main screen. A vertically scrolling page with three panels: the rules panel
// (the four lists with their sizes; a tap opens that list's editor), the functions panel (help, the guide,
// the message test, review, share, the maker's page) and the other-apps panel. The counts are read afresh
// every time the screen appears, and at no other time.
#pragma once

#include <memory>

#include "app/qb_panels.h"
#include "platform/ui/scroll_view.h"
#include "platform/ui/view_controller.h"

namespace quell {

class UserDefaults;

// The functions panel's rows, in display order.
enum class FunctionRow : int { kProblems = 0, kTutorial, kReport, kReview, kShare, kSocial };

class ViewController : public UIViewController, public QBRulesViewDelegate, public QBFunctionViewDelegate {
  Q_OBJECT

 public:
  explicit ViewController(QWidget* parent = nullptr);
  ~ViewController() override;

  QBRulesView* rulesView = nullptr;
  QBFunctionView* functionView = nullptr;
  QBFunctionView* otherAppView = nullptr;
  UIScrollView* scrollView = nullptr;

  void rulesViewDidSelectItemAt(QBRulesView* view, int item) override;
  void functionViewDidSelectItemAt(QBFunctionView* view, int item) override;
  void openLink(const QString& text);
  void shareApp();
  // Judges the text on the clipboard and offers to report it.
  void testClipboardMessage();

 protected:
  void viewDidLoad() override;
  void viewWillAppear() override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void showSystemVersionWarning();

  std::shared_ptr<UserDefaults> userDefaults_;  // the shared rule store; null when it cannot be opened
};

}  // namespace quell
