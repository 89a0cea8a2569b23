#include "app/qb_junk_log_controller.h"

#include "app/junk_list_model.h"
#include "app/junk_log_access.h"
#include "app/junk_page_widgets.h"
#include "app/junk_row_delegate.h"
#include "app/page_title_bar.h"
#include "app/qb_junk_message_controller.h"
#include "app/qb_settings_controller.h"
#include "platform/ui/alert_controller.h"
#include "platform/ui/dynamic_palette.h"
#include "platform/ui/kinetic_scrolling.h"
#include "platform/ui/navigation_container.h"
#include "platform/ui/view_background.h"
#include "uikit/palette.h"

namespace quell {

namespace {

constexpr int kMargin = 16, kGap = 10, kFieldHeight = 40, kMaxColumn = 600;

}  // namespace

QBJunkLogController::QBJunkLogController(QWidget* parent) : UIViewController(parent) { setTitle("拦截记录"); }

QBJunkLogController::~QBJunkLogController() {
  if (model_) model_->setLog(nullptr);  // the log goes before the model, which is a child
}

void QBJunkLogController::viewDidLoad() {
  setBackgroundColor(this, qb_backgroundColor());
  if (QPushButton* close = setUpClosablePageBar(this))
    connect(close, &QPushButton::clicked, this, &QBJunkLogController::closeDismiss);

  search_ = new QLineEdit(this);
  search_->setPlaceholderText("搜索发件人或内容");
  search_->setAccessibleName("搜索发件人或内容");
  search_->setClearButtonEnabled(true);
  QFont font = search_->font();
  font.setPixelSize(16);
  search_->setFont(font);
  search_->setFrame(false);
  search_->setTextMargins(10, 0, 10, 0);
  setTextFieldColors(search_);  // resolved when drawn: a style sheet would fix them at the first appearance

  markRead_ = new JunkActionButton("标为已读", UIColor::systemBlueColor(), this);
  clear_ = new JunkActionButton("全部清除", UIColor::systemRedColor(), this);
  connect(markRead_, &QPushButton::clicked, this, &QBJunkLogController::markAllRead);
  connect(clear_, &QPushButton::clicked, this, &QBJunkLogController::confirmClear);

  model_ = new JunkListModel(this);
  connect(model_, &JunkListModel::readFailed, this,
          [](const QString& why) { qWarning("the junk log could not be read: %s", qPrintable(why)); });
  connect(search_, &QLineEdit::textChanged, this, [this](const QString& text) {
    model_->setSearch(text);
    showState();
  });
  listView_ = new QListView(this);
  listView_->setAccessibleName("拦截的短信");
  listView_->setModel(model_);
  listView_->setItemDelegate(new JunkRowDelegate(listView_));
  listView_->setUniformItemSizes(true);
  listView_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  listView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  listView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  listView_->setSelectionMode(QAbstractItemView::NoSelection);
  listView_->setFrameShape(QFrame::NoFrame);
  listView_->setFocusPolicy(Qt::TabFocus);  // the keyboard's, never a tap's
  listView_->viewport()->setAutoFillBackground(false);
  listView_->setStyleSheet("QListView { background: transparent; }");
  enableKineticScrolling(listView_);
  showScrollIndicator(listView_);
  connect(listView_, &QListView::clicked, this, &QBJunkLogController::openEntry);
  connect(listView_, &QListView::activated, this, &QBJunkLogController::openEntry);
  connect(model_, &QAbstractItemModel::rowsInserted, this, &QBJunkLogController::showState);
  connect(model_, &QAbstractItemModel::rowsRemoved, this, &QBJunkLogController::showState);
  connect(model_, &QAbstractItemModel::modelReset, this, &QBJunkLogController::showState);

  emptyTitle_ = makeJunkPageLabel(this, 20, qb_label(), true);
  emptyTitle_->setAlignment(Qt::AlignCenter);
  emptyText_ = makeJunkPageLabel(this, 15, qb_secondaryLabel());
  emptyText_->setAlignment(Qt::AlignCenter);
  settings_ = new JunkActionButton("前往设置", UIColor::systemBlueColor(), this);
  connect(settings_, &QPushButton::clicked, this, &QBJunkLogController::openSettings);

  watcher_ = new JunkLogWatcher(this);
  connect(watcher_, &JunkLogWatcher::changed, this, &QBJunkLogController::logChanged);
  openLog();
}

void QBJunkLogController::openLog() {
  access_.open();
  model_->setLog(access_.reader());
  markSeen();
  showState();
}

void QBJunkLogController::markSeen() {
  // From now on the main screen's badge counts what comes after this look. Only when something is new:
  // the mark is a write, which this page would hear of again.
  if (!access_.writes()) return;  // never waits for another writer here
  auto unseen = access_.reader()->unseenCount();
  if (!unseen || *unseen == 0) return;
  if (auto seen = (*access_.writer())->markSeen(); !seen)
    qWarning("the junk log could not record that it was seen: %s", seen.message().c_str());
}

void QBJunkLogController::viewWillAppear() {
  if (model_) logChanged();
}

void QBJunkLogController::logChanged() {
  if (!access_.reader() || access_.replaced()) {
    openLog();  // it may have been made, mended or replaced since
    return;
  }
  model_->refresh();
  markSeen();  // what arrives while the page is open is seen here
  showState();
}

void QBJunkLogController::showState() {
  if (!model_) return;
  const bool hasRows = model_->rowCount() > 0;
  const bool searching = !search_->text().isEmpty();
  const bool usable = access_.reader() != nullptr;
  listView_->setVisible(hasRows);
  search_->setVisible(usable && (hasRows || searching));
  markRead_->setVisible(usable && hasRows && !searching);
  clear_->setVisible(usable && hasRows && !searching);
  settings_->setVisible(!hasRows && !searching);
  if (!usable && !access_.absent()) {
    emptyTitle_->setText("无法读取拦截记录");
    emptyText_->setText(access_.problem());
    setTextColor(emptyText_, UIColor::systemRedColor());
  } else {
    setTextColor(emptyText_, qb_secondaryLabel());
    if (access_.absent()) {
      emptyTitle_->setText("还没有拦截记录");
      emptyText_->setText(
          "短信过滤（quellmodem）还没有在这台设备上运行过，所以还没有拦截任何短信。"
          "在“设置”中打开“过滤收到的短信”，拦截的垃圾短信就会显示在这里。");
    } else if (searching) {
      emptyTitle_->setText("没有找到");
      emptyText_->setText("没有发件人或内容含有“" + search_->text() + "”的记录。");
    } else {
      emptyTitle_->setText("没有拦截记录");
      emptyText_->setText("被拦截的垃圾短信会显示在这里。短信过滤有没有在运行，可以在“设置”中查看。");
    }
  }
  emptyTitle_->setVisible(!hasRows);
  emptyText_->setVisible(!hasRows);
  layoutPage();
}

void QBJunkLogController::layoutPage() {
  if (!listView_) return;
  const int column = std::min(width() - 2 * kMargin, kMaxColumn), left = (width() - column) / 2;
  int y = kGap;
  if (search_->isVisibleTo(this)) {
    search_->setGeometry(left, y, column, kFieldHeight);
    y += kFieldHeight + kGap;
  }
  if (markRead_->isVisibleTo(this)) {
    const int half = (column - kGap) / 2;
    markRead_->setGeometry(left, y, half, JunkActionButton::kHeight);
    clear_->setGeometry(left + column - half, y, half, JunkActionButton::kHeight);
    y += JunkActionButton::kHeight + kGap;
  }
  // The rows bring their own side insets: the list is the column with its margins (the whole width of a
  // phone, so a finger can scroll anywhere).
  const int listLeft = std::max(0, left - kMargin);
  listView_->setGeometry(listLeft, y, std::min(width(), column + 2 * kMargin), std::max(0, height() - y));
  if (emptyTitle_->isVisibleTo(this)) {
    const int textWidth = column - 2 * kMargin;
    const int titleHeight = emptyTitle_->heightForWidth(textWidth), textHeight = emptyText_->heightForWidth(textWidth);
    const int buttonHeight = settings_->isVisibleTo(this) ? JunkActionButton::kHeight + 2 * kGap : 0;
    const int block = titleHeight + kGap + textHeight + buttonHeight;
    int top = std::max(y + kMargin, y + (height() - y - block) / 3);
    emptyTitle_->setGeometry(left + kMargin, top, textWidth, titleHeight);
    top += titleHeight + kGap;
    emptyText_->setGeometry(left + kMargin, top, textWidth, textHeight);
    top += textHeight + 2 * kGap;
    settings_->setGeometry(left + (column - std::min(column, 240)) / 2, top, std::min(column, 240),
                           JunkActionButton::kHeight);
  }
}

void QBJunkLogController::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layoutPage();
}

void QBJunkLogController::openEntry(const QModelIndex& index) {
  if (!index.isValid() || !access_.reader()) return;
  auto* message = new QBJunkMessageController(&access_, model_->entryAt(index.row()).id);
  connect(message, &QBJunkMessageController::logChanged, this, &QBJunkLogController::logChanged);
  presentViewController(new NavigationContainer(message), true);
}

void QBJunkLogController::markAllRead() {
  auto log = access_.writer();
  Status<StoreError> marked = log ? (*log)->markAllRead() : Status<StoreError>(log.failure());
  if (!marked) return showRefusal(marked.code(), marked.message());
  logChanged();
}

void QBJunkLogController::confirmClear() {
  auto count = access_.reader()->count();
  auto* alert = new UIAlertController(
      "清除全部拦截记录？",
      (count ? QString("全部 %1 条记录都将删除。").arg(*count) : QString("全部记录都将删除。")) + "短信本身不会恢复。");
  QPointer<QBJunkLogController> self = this;
  alert->addAction("全部清除", UIAlertController::ActionStyle::kDestructive, [self] {
    if (self) self->clearAll();
  });
  alert->addAction("取消", UIAlertController::ActionStyle::kCancel);
  presentViewController(alert, true);
}

void QBJunkLogController::clearAll() {
  auto log = access_.writer();
  Status<StoreError> cleared = log ? (*log)->clear() : Status<StoreError>(log.failure());
  if (!cleared) return showRefusal(cleared.code(), cleared.message());
  logChanged();
  showJunkLogDone("已清除");
}

void QBJunkLogController::showRefusal(StoreError error, const std::string& detail) {
  qWarning("the junk log was not changed: %s", detail.c_str());
  logChanged();  // as the log holds it
  showJunkLogRefusal(error);
}

void QBJunkLogController::openSettings() {
  presentViewController(new NavigationContainer(new QBSettingsController), true);
}

void QBJunkLogController::closeDismiss() {
  if (navigationContainer()) dismissViewController(true);
}

}  // namespace quell
