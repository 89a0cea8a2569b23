// ViewController: the app's main screen. A vertically scrolling page with three panels: the rules panel
// (the four lists with their sizes; a tap opens that list's editor), the functions panel (help, the guide,
// the message test, review, share, the maker's page) and the other-apps panel. The counts are read afresh
// every time the screen appears, and at no other time.
#pragma once

#include <QElapsedTimer>
#include <memory>

#include "engine/rule_store.h"
#include "platform/ui/view_controller.h"

namespace quell {

class QBFunctionView;
class QBRulesView;
class UIScrollView;
class UserDefaults;

// The functions panel's rows, in display order.
enum class FunctionRow : int { kProblems = 0, kTutorial, kReport, kReview, kShare, kSocial };

class ViewController : public UIViewController {
  Q_OBJECT

 public:
  explicit ViewController(QWidget* parent = nullptr);
  ~ViewController() override;

 protected:
  void viewDidLoad() override;
  void viewWillAppear() override;
  void resizeEvent(QResizeEvent* event) override;

 private slots:
  void openEditor(RuleListKind kind);
  void functionChosen(int row);
  void otherAppChosen(int row);

 private:
  void openLink(const QString& text);
  void shareApp();
  // Judges the text on the clipboard and offers to report it.
  void testClipboardMessage();
  void showSystemVersionWarning();

  QBRulesView* rulesView_ = nullptr;
  QElapsedTimer lastLinkOpened_;
  UIScrollView* scrollView_ = nullptr;
  std::shared_ptr<UserDefaults> userDefaults_;  // the shared rule store; null when it cannot be opened
};

}  // namespace quell
