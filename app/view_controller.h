// ViewController: the app's main screen. A vertically scrolling page with three panels: the rules panel
// (the four lists with their sizes; a tap opens that list's editor), the functions panel (help, the guide,
// the message test, review, share, the maker's page) and the other-apps panel. The counts are read afresh
// every time the screen appears, and at no other time; when the shared rule store cannot be opened, the
// page says above the panels that the lists cannot be saved, and why. The panels follow every change of
// the screen's width; on a wide screen they keep a readable width, centred.
#pragma once

#include <QElapsedTimer>

#include "engine/rule_store.h"
#include "platform/ui/view_controller.h"

class QLabel;

namespace quell {

class QBFunctionView;
class QBRulesView;
class UIScrollView;

// The functions panel's rows, in display order.
enum class FunctionRow : int { kProblems = 0, kTutorial, kReport, kReview, kShare, kSocial };

class ViewController : public UIViewController {
  Q_OBJECT

 public:
  explicit ViewController(QWidget* parent = nullptr);

  // The widest the column of panels grows on a wide screen.
  static constexpr int kReadableWidth = 600;

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
  // The page from the screen's size: the notice and the three panels stacked in a centred column.
  void layoutPage();

  QBRulesView* rulesView_ = nullptr;
  QBFunctionView* functionView_ = nullptr;
  QBFunctionView* otherAppView_ = nullptr;
  QLabel* storeNotice_ = nullptr;  // shown while the rule store cannot be opened
  QElapsedTimer lastLinkOpened_;
  UIScrollView* scrollView_ = nullptr;
};

}  // namespace quell
