#include "app/qb_junk_message_controller.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPointer>
#include <algorithm>

#include "app/grouped_face.h"
#include "app/junk_log_access.h"
#include "app/junk_page_widgets.h"
#include "app/junk_texts.h"
#include "app/page_title_bar.h"
#include "app/qb_network_request.h"
#include "engine/message_normalization.h"
#include "engine/rule_store.h"
#include "platform/ui/alert_controller.h"
#include "platform/ui/navigation_container.h"
#include "platform/ui/scroll_view.h"
#include "platform/ui/view_background.h"
#include "uikit/palette.h"

namespace quell {

namespace {

constexpr int kMargin = 16, kPadding = 14, kGap = 8, kMaxColumn = 600;
enum Action { kTakeBack, kCopy, kReport, kRemove };

QString stateText(const JunkEntry& entry) {
  QStringList parts;
  if (entry.pending)
    parts << "quellmodem 仍在处理这条短信";
  else
    parts << (entry.deleted ? "已从调制解调器删除" : "仍在调制解调器上");
  if (entry.notJunk) parts << "已标为不是垃圾短信";
  return parts.join(" · ");
}

}  // namespace

QBJunkMessageController::QBJunkMessageController(JunkLogAccess* log, std::int64_t id, QWidget* parent)
    : UIViewController(parent), log_(log), id_(id) {
  setTitle("短信详情");
}

void QBJunkMessageController::viewDidLoad() {
  setBackgroundColor(this, qb_backgroundColor());
  if (QPushButton* close = setUpClosablePageBar(this))
    connect(close, &QPushButton::clicked, this, &QBJunkMessageController::closeDismiss);
  scrollView_ = new UIScrollView(this);
  scrollView_->setBackgroundColor(qb_backgroundColor());
  QWidget* page = scrollView_->contentView();
  sender_ = makeJunkPageLabel(page, 22, qb_label(), true);
  time_ = makeJunkPageLabel(page, 15, qb_secondaryLabel());
  state_ = makeJunkPageLabel(page, 13, qb_secondaryLabel());
  bodyFace_ = new GroupedFace(page);
  body_ = makeJunkPageLabel(bodyFace_, 17, qb_label());
  // Selectable as text by mouse, finger and keyboard; never a link, never markup.
  body_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  body_->setFocusPolicy(Qt::TabFocus);
  whyHeader_ = makeJunkPageLabel(page, 13, qb_secondaryLabel());
  whyHeader_->setText("拦截原因");
  why_ = makeJunkPageLabel(page, 15, qb_label());
  const std::pair<const char*, UIColor> titles[] = {{"不是垃圾短信", UIColor::systemBlueColor()},
                                                    {"复制", UIColor::systemBlueColor()},
                                                    {"举报误判", UIColor::systemBlueColor()},
                                                    {"删除记录", UIColor::systemRedColor()}};
  for (const auto& [title, color] : titles) actions_.push_back(new JunkActionButton(title, color, page));
  connect(actions_[kTakeBack], &QPushButton::clicked, this, &QBJunkMessageController::takeBack);
  connect(actions_[kCopy], &QPushButton::clicked, this, &QBJunkMessageController::copyText);
  connect(actions_[kReport], &QPushButton::clicked, this, &QBJunkMessageController::reportMistake);
  connect(actions_[kRemove], &QPushButton::clicked, this, &QBJunkMessageController::confirmRemoval);

  showEntry();
  if (entry_ && !entry_->read && log_->writes()) {  // never waits for another writer to mark it read
    if (auto read = (*log_->writer())->markRead(id_); read) {
      entry_->read = true;
      emit logChanged();
    } else {
      qWarning("the junk log entry %lld was not marked read: %s", static_cast<long long>(id_), read.message().c_str());
    }
  }
  scrollView_->show();
}

void QBJunkMessageController::showEntry() {
  if (!log_->reader()) {
    entry_.reset();  // the log is gone
  } else if (auto found = log_->reader()->entry(id_); found) {
    entry_ = *found;  // a read that fails shows the entry as it was read before
  }
  if (!entry_) {
    sender_->setText("记录已删除");
    time_->setText("这条记录已不在拦截记录中。");
    for (QLabel* label : {state_, body_, whyHeader_, why_}) label->clear();
    for (auto* action : actions_) action->setEnabled(false);
  } else {
    const JunkMessage& message = entry_->message;
    sender_->setText(message.sender.empty() ? QString("未知发件人") : QString::fromStdString(message.sender));
    time_->setText("收到于 " + junkFullTime(junkReceivedTime(*entry_)));
    state_->setText(stateText(*entry_));
    body_->setText(QString::fromStdString(message.body));
    body_->setAccessibleName("短信内容");
    body_->setAccessibleDescription(body_->text());
    why_->setText(junkReasonText(message.reasons));
    actions_[kTakeBack]->setEnabled(!message.sender.empty());
    actions_[kReport]->setEnabled(!normalizeMessageBody(message.body).empty());
  }
  layoutPage();
}

void QBJunkMessageController::layoutPage() {
  if (!scrollView_) return;
  scrollView_->setGeometry(rect());
  const int column = std::min(width() - 2 * kMargin, kMaxColumn), left = (width() - column) / 2;
  int y = kMargin;
  auto place = [&](QLabel* label, int x, int w) {
    const int h = label->text().isEmpty() ? 0 : label->heightForWidth(w);
    label->setGeometry(x, y, w, h);
    y += h + (h ? kGap : 0);
  };
  place(sender_, left, column);
  place(time_, left, column);
  place(state_, left, column);
  y += kGap;
  const int bodyWidth = column - 2 * kPadding;
  const int bodyHeight = body_->text().isEmpty() ? 0 : body_->heightForWidth(bodyWidth);
  bodyFace_->setVisible(bodyHeight > 0);
  bodyFace_->setGeometry(left, y, column, bodyHeight + 2 * kPadding);
  body_->setGeometry(kPadding, kPadding, bodyWidth, bodyHeight);
  if (bodyHeight > 0) y += bodyHeight + 2 * kPadding + 2 * kGap;
  place(whyHeader_, left, column);
  place(why_, left, column);
  y += 2 * kGap;
  for (auto* action : actions_) {
    action->setGeometry(left, y, column, JunkActionButton::kHeight);
    y += JunkActionButton::kHeight + kGap;
  }
  scrollView_->setContentSize(QSize(0, y + kMargin));
}

void QBJunkMessageController::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layoutPage();
}

void QBJunkMessageController::takeBack() {
  if (!entry_) return;
  const std::string sender = entry_->message.sender;
  auto log = log_->writer();
  auto taken = log ? whitelistSender(**log, id_) : Result<std::string, StoreError>(log.failure());
  emit logChanged();
  showEntry();
  if (!taken) {
    qWarning("the sender was not taken back: %s", taken.message().c_str());
    const auto whitelist = RuleStore::storedList(RuleListKind::NumberWhitelist);
    if (std::find(whitelist.begin(), whitelist.end(), sender) == whitelist.end())
      return showJunkLogRefusal(taken.code());
    // The whitelist has it, the log could not mark the entry: said as it is.
    auto* partly = new UIAlertController("已加入号码白名单", "以后这个号码的短信不会被拦截，但拦截记录暂时无法更新：" +
                                                                 junkLogChangeProblem(taken.code()));
    partly->addAction("好", UIAlertController::ActionStyle::kCancel);
    presentViewController(partly, true);
    return;
  }
  auto* offer = new UIAlertController(
      "已加入号码白名单", "以后 " + QString::fromStdString(*taken) + " 发来的短信不会再被拦截。要复制这条短信吗？");
  QPointer<QBJunkMessageController> self = this;
  offer->addAction("复制", UIAlertController::ActionStyle::kDefault, [self] {
    if (self) self->copyText();
  });
  offer->addAction("好", UIAlertController::ActionStyle::kCancel);
  presentViewController(offer, true);
}

void QBJunkMessageController::copyText() {
  if (!entry_) return;
  QGuiApplication::clipboard()->setText(QString::fromStdString(entry_->message.body));
  showJunkLogDone("已复制");
}

void QBJunkMessageController::reportMistake() {
  if (!entry_) return;
  // The filter said junk; the person says it is not.
  reportMessage(normalizeMessageBody(entry_->message.body), "ham", "spam");
}

void QBJunkMessageController::confirmRemoval() {
  auto* alert = new UIAlertController("删除这条记录？", "只删除拦截记录，短信本身不会恢复。");
  QPointer<QBJunkMessageController> self = this;
  alert->addAction("删除", UIAlertController::ActionStyle::kDestructive, [self] {
    if (self) self->remove();
  });
  alert->addAction("取消", UIAlertController::ActionStyle::kCancel);
  presentViewController(alert, true);
}

void QBJunkMessageController::remove() {
  auto log = log_->writer();
  if (auto removed = log ? (*log)->remove(id_) : Status<StoreError>(log.failure()); !removed) {
    qWarning("the junk log entry was not removed: %s", removed.message().c_str());
    showEntry();
    return showJunkLogRefusal(removed.code());
  }
  emit logChanged();
  showJunkLogDone("已删除");
  closeDismiss();
}

void QBJunkMessageController::closeDismiss() {
  if (navigationContainer()) dismissViewController(true);
}

}  // namespace quell
