// QBJunkMessageController: one message of the junk log. It shows the sender, when it came, the whole text
// (plain text, selectable with the mouse, a finger or the keyboard) and why it was held back, in words,
// from the decision's reasons. Its actions:
//  - "不是垃圾短信": puts the sender on the number whitelist and marks the entry (whitelistSender; a
//    whitelist that cannot be read is not written over), then offers to copy the text;
//  - "复制": the text to the clipboard;
//  - "举报误判": a report of the text as not spam ("ham", where the filter said "spam"), through the
//    app's report path and its HUDs;
//  - "删除记录": removes the entry after a confirmation, and closes the page.
// Opening the page marks the entry read. Nothing shows as done unless the log (or the rule store) stored
// it; a refusal says why and the page shows the entry as stored. The log is not owned: the junk page that
// presents this page keeps it open. It lives in its own navigation container; "关闭" or Escape closes it.
#pragma once

#include <QLabel>
#include <optional>

#include "modembridge/junk_log.h"
#include "platform/ui/view_controller.h"

namespace quell {

class JunkActionButton;
class JunkLogAccess;
class UIScrollView;

class QBJunkMessageController : public UIViewController {
  Q_OBJECT

 public:
  QBJunkMessageController(JunkLogAccess* log, std::int64_t id, QWidget* parent = nullptr);

 signals:
  // This page changed the log (the junk page reads it again).
  void logChanged();

 protected:
  void viewDidLoad() override;
  void resizeEvent(QResizeEvent* event) override;

 private slots:
  void closeDismiss();
  void takeBack();
  void copyText();
  void reportMistake();
  void confirmRemoval();

 private:
  void remove();
  // The entry as the log holds it now, shown.
  void showEntry();
  // The page from its width: the texts and the actions stacked in a centred column.
  void layoutPage();

  JunkLogAccess* log_;
  std::int64_t id_;
  std::optional<JunkEntry> entry_;  // nullopt once it is no longer in the log
  UIScrollView* scrollView_ = nullptr;
  QLabel* sender_ = nullptr;
  QLabel* time_ = nullptr;
  QLabel* state_ = nullptr;
  QWidget* bodyFace_ = nullptr;
  QLabel* body_ = nullptr;
  QLabel* whyHeader_ = nullptr;
  QLabel* why_ = nullptr;
  std::vector<JunkActionButton*> actions_;
};

}  // namespace quell
