// QBJunkLogController: "拦截记录", the junk page. It shows the junk log that quellmodem keeps (the same
// file quelllog reads), newest first: each row the sender, the time, two lines of the text and the stage
// that held the message back. The list is read a page at a time as it scrolls, grows as the bridge records
// new junk while the page is open (it watches the log), and a search field keeps the entries whose sender
// or text contains what is typed. A row opens the message (QBJunkMessageController). "标为已读" marks
// every entry read, "全部清除" removes them all after a confirmation.
//
// Opening the page records that the log was looked at, so the main screen's badge counts from then on.
// With no log yet the page says that the bridge has not run and how to switch it on ("前往设置" opens the
// settings page); a log that cannot be read is named with why. A change is shown only once the log has
// stored it: one the log refuses (another writer holds it, a read-only file) shows why, and the list stays
// as the log holds it. It lives in its own navigation container; "关闭" or Escape closes it.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <memory>

#include "app/junk_log_access.h"
#include "platform/ui/view_controller.h"

namespace quell {

class JunkActionButton;
class JunkListModel;

class QBJunkLogController : public UIViewController {
  Q_OBJECT

 public:
  explicit QBJunkLogController(QWidget* parent = nullptr);
  ~QBJunkLogController() override;

  // The list, for the tests and the screenshots.
  QListView* listView() const { return listView_; }
  JunkListModel* model() const { return model_; }

 protected:
  void viewDidLoad() override;
  void viewWillAppear() override;
  void resizeEvent(QResizeEvent* event) override;

 private slots:
  void closeDismiss();
  void logChanged();
  void openEntry(const QModelIndex& index);
  void markAllRead();
  void confirmClear();
  void openSettings();

 private:
  // Opens the log when there is one (again after it was absent or unusable), and shows it.
  void openLog();
  // Records that the log was looked at now, when anything in it is new.
  void markSeen();
  void clearAll();
  // Tells the user that a change was not stored, and why.
  void showRefusal(StoreError error, const std::string& detail);
  // Which of the list, the empty page and the problem shows, and their texts.
  void showState();
  // The page from its size: the search field and the two actions over the list, in a centred column.
  void layoutPage();

  JunkLogAccess access_;
  JunkLogWatcher* watcher_ = nullptr;
  JunkListModel* model_ = nullptr;
  QLineEdit* search_ = nullptr;
  JunkActionButton* markRead_ = nullptr;
  JunkActionButton* clear_ = nullptr;
  QListView* listView_ = nullptr;
  QLabel* emptyTitle_ = nullptr;
  QLabel* emptyText_ = nullptr;
  JunkActionButton* settings_ = nullptr;
};

}  // namespace quell
