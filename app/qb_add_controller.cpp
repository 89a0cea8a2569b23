#include "app/qb_add_controller.h"

#include <QLabel>

#include "engine/rule_store.h"
#include "platform/ui/alert_controller.h"
#include "platform/ui/hud.h"
#include "platform/ui/navigation_container.h"
#include "platform/ui/table_view.h"
#include "platform/ui/view_background.h"
#include "platform/user_defaults.h"
#include "uikit/palette.h"

namespace quell {

namespace {

constexpr int kHeaderHeight = 160, kHudMs = 500;

QLabel* headerLabel(QWidget* header, const QString& text, int pixelSize, int alpha) {
  auto* label = new QLabel(header);
  label->setTextFormat(Qt::PlainText);
  label->setText(text);
  label->setWordWrap(true);
  QFont font = label->font();
  font.setPixelSize(pixelSize);
  label->setFont(font);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, QColor(255, 255, 255, alpha));
  label->setPalette(palette);
  return label;
}

}  // namespace

const RuleEditorTexts& ruleEditorTexts(RuleListKind kind) {
  static const RuleEditorTexts texts[4] = {
      {"自定义号码白名单", "号码白名单",
       "添加后，白名单号码发送的短信，将不再参与过滤，可正常收到短信通知、提醒和小红点角标。"},
      {"自定义号码黑名单", "号码黑名单",
       "添加后，黑名单号码发送的短信都会被过滤，无法收到短信通知、提醒，只有小红点角标。"},
      {"自定义关键字白名单", "关键字白名单",
       "添加后，含有该关键字的短信将不再参与过滤，可正常收到短信通知、提醒和小红点角标。"},
      {"自定义关键字黑名单", "关键字黑名单",
       "添加后，含有该关键字的短信将会被过滤，不会有通知和声音提醒，但会有小红点角标。由于系统限制，短信被过滤后，该号码所有短信将被过滤。"},
  };
  return texts[static_cast<int>(kind)];
}

QBAddController::QBAddController(RuleListKind kind, QWidget* parent)
    : UIViewController(parent),
      kind_(kind),
      storeOpen_(UserDefaults::initWithSuiteName(AppGroupIdentifier) != nullptr) {
  setTitle(QString::fromUtf8(ruleEditorTexts(kind).navigationTitle));
}

void QBAddController::viewDidLoad() {
  setBackgroundColor(this, UIColor::whiteColor());
  if (auto* container = navigationContainer()) {
    connect(container->setLeftBarButton("完成", true), &QPushButton::clicked, this, &QBAddController::done);
    connect(container->setRightBarButton("添加", true), &QPushButton::clicked, this, &QBAddController::promptForEntry);
  }
  if (storeOpen_) {
    // A list whose stored data cannot be read is shown empty and never written, so that an edit here
    // cannot replace what the user had.
    auto stored = RuleStore::readStoredList(kind_);
    listUnreadable_ = !stored;
    if (stored) entries_ = std::move(*stored);
  }

  tableView_ = new UITableView(this);
  tableView_->setGeometry(rect());
  tableView_->setBackgroundColor(qb_backgroundColor());
  tableView_->setTableHeaderView(makeHeader());
  tableView_->setDataSource({
      [this] { return static_cast<int>(entries_.size()); },
      [this](UITableViewCell& cell) {
        const std::string& entry = entries_[static_cast<std::size_t>(cell.row())];
        cell.textLabel()->setText(QString::fromStdString(entry));
        cell.setAccessibleName(QString::fromStdString(entry));
        cell.setCellBackgroundColor(qb_systemGray5());
      },
      [this](int row) { deleteEntry(row); },
      "删除",
  });
  tableView_->show();
  tableView_->reloadData();
}

void QBAddController::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (tableView_) tableView_->setGeometry(rect());
}

QWidget* QBAddController::makeHeader() {
  auto* header = new QWidget;
  header->resize(width(), kHeaderHeight);
  setBackgroundColor(header, qb_mainColor());
  const RuleEditorTexts& texts = ruleEditorTexts(kind_);
  QLabel* title = headerLabel(header, QString::fromUtf8(texts.title), 25, 255);
  title->setGeometry(15, 30, width() - 30, 50);
  title->adjustSize();
  title->resize(width() - 30, title->heightForWidth(width() - 30));
  QLabel* detail = headerLabel(header, QString::fromUtf8(texts.detail), 15, 204);
  detail->setGeometry(15, title->geometry().bottom() + 1 + 15, width() - 30, 50);
  detail->resize(width() - 30, detail->heightForWidth(width() - 30));
  return header;  // keeps its 160 points whatever the labels need
}

void QBAddController::done() { dismissViewController(true); }

void QBAddController::promptForEntry() {
  if (listUnreadable_) {
    auto* refusal = new UIAlertController("名单无法读取", "已保存的名单数据已损坏，为免覆盖原有数据，现在不能修改。");
    refusal->addAction("好", UIAlertController::ActionStyle::kCancel);
    presentViewController(refusal, true);
    return;
  }
  auto* alert = new UIAlertController("请输入自定义规则", QString());
  QLineEdit* field = alert->addTextField();
  field->setPlaceholderText("关键词");
  field->setAlignment(Qt::AlignCenter);
  alert->addAction("添加", UIAlertController::ActionStyle::kDefault, [this, field] { addEntry(field->text()); });
  alert->addAction("取消", UIAlertController::ActionStyle::kCancel);
  presentViewController(alert, true);
}

namespace {

void showErrorHud() {
  PKHUD& hud = PKHUD::sharedHUD();
  hud.setContentView(PKHUD::Content::kError);
  hud.show();
  hud.hide(kHudMs);
}

}  // namespace

void QBAddController::addEntry(const QString& text) {
  std::vector<std::string> changed = entries_;
  changed.push_back(text.toStdString());  // as typed: not trimmed, duplicates allowed
  if (text.isEmpty() || !save(changed)) {
    showErrorHud();
    return;
  }
  PKHUD& hud = PKHUD::sharedHUD();
  hud.setContentView(PKHUD::Content::kSuccess);
  hud.show();
  hud.setAccessibilityLabel("添加完成");
  entries_ = std::move(changed);
  tableView_->reloadData();
  hud.hide(kHudMs);
}

void QBAddController::deleteEntry(int row) {
  if (row < 0 || row >= static_cast<int>(entries_.size())) return;
  std::vector<std::string> changed = entries_;
  changed.erase(changed.begin() + row);
  if (!save(changed)) {
    // The row stays, as it is still stored; its revealed "删除" is put away.
    showErrorHud();
    tableView_->reloadData();
    return;
  }
  entries_ = std::move(changed);
  tableView_->reloadData();
}

bool QBAddController::save(const std::vector<std::string>& entries) {
  if (listUnreadable_) return false;
  if (!storeOpen_) return true;  // no store to write: the change stays on screen only
  auto written = RuleStore::writeList(kind_, entries);
  if (!written) qWarning("the list %s was not written: %s", ruleListKey(kind_), written.message().c_str());
  return written.ok();
}

}  // namespace quell
