#include "app/qb_add_controller.h"

#include <QLabel>

#include "engine/rule_store.h"
#include "platform/ui/alert_controller.h"
#include "platform/ui/hud.h"
#include "platform/ui/navigation_container.h"
#include "platform/ui/view_background.h"
#include "platform/user_defaults.h"
#include "uikit/palette.h"

namespace quell {

namespace {

constexpr int kHeaderHeight = 160, kHudMs = 500;

std::optional<RuleListKind> editedKind(const std::optional<QString>& key) {
  return key ? ruleListKindForKey(key->toStdString()) : std::nullopt;
}

QLabel* headerLabel(QWidget* header, const QString& text, int pixelSize, int alpha) {
  auto* label = new QLabel(text, header);
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

const RuleEditorConfiguration& ruleEditorConfiguration(int index) {
  static const RuleEditorConfiguration configurations[4] = {
      {"numberWhitelistKey", "自定义号码白名单", "号码白名单",
       "添加后，白名单号码发送的短信，将不再参与过滤，可正常收到短信通知、提醒和小红点角标。"},
      {"numberBlacklistKey", "自定义号码黑名单", "号码黑名单",
       "添加后，黑名单号码发送的短信都会被过滤，无法收到短信通知、提醒，只有小红点角标。"},
      {"keywordWhitelistKey", "自定义关键字白名单", "关键字白名单",
       "添加后，含有该关键字的短信将不再参与过滤，可正常收到短信通知、提醒和小红点角标。"},
      {"keywordBlacklistKey", "自定义关键字黑名单", "关键字黑名单",
       "添加后，含有该关键字的短信将会被过滤，不会有通知和声音提醒，但会有小红点角标。由于系统限制，短信被过滤后，该号码所有短信将被过滤。"},
  };
  return configurations[std::clamp(index, 0, 3)];
}

QBAddController::QBAddController(QWidget* parent)
    : UIViewController(parent), storeOpen_(UserDefaults::initWithSuiteName(AppGroupIdentifier) != nullptr) {}

void QBAddController::configure(const RuleEditorConfiguration& c) {
  userDefaultKey = QString::fromUtf8(c.userDefaultKey);
  navigationTitle = QString::fromUtf8(c.navigationTitle);
  titleLabelText = QString::fromUtf8(c.titleLabelText);
  detailLabelText = QString::fromUtf8(c.detailLabelText);
}

void QBAddController::viewDidLoad() {
  setBackgroundColor(this, UIColor::whiteColor());
  setTitle(navigationTitle.value_or(QString()));
  if (auto* container = navigationContainer()) {
    connect(container->setLeftBarButton("完成", true), &QPushButton::clicked, this,
            &QBAddController::leftBarButtonItemAction);
    connect(container->setRightBarButton("添加", true), &QPushButton::clicked, this,
            &QBAddController::rightBarButtonItemAction);
  }
  if (auto kind = editedKind(userDefaultKey); kind && storeOpen_) {
    // A list whose stored data cannot be read is shown empty and never written, so that an edit here
    // cannot replace what the user had.
    auto stored = RuleStore::readStoredList(*kind);
    listUnreadable_ = !stored;
    if (stored) dataSourceArray = std::move(*stored);
  }

  tableView = new UITableView(this);
  tableView->setGeometry(rect());
  tableView->setBackgroundColor(qb_backgroundColor());
  tableView->setTableHeaderView(makeHeader());
  tableView->setDataSource({
      [this] { return static_cast<int>(dataSourceArray.size()); },
      [this](UITableViewCell& cell) {
        cell.textLabel()->setText(QString::fromStdString(dataSourceArray[static_cast<std::size_t>(cell.row())]));
        cell.setCellBackgroundColor(qb_systemGray5());
      },
      [this](int row) { commitDelete(row); },
      "删除",
  });
  tableView->show();
  tableView->reloadData();
}

void QBAddController::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (tableView) tableView->setGeometry(rect());
}

QWidget* QBAddController::makeHeader() {
  auto* header = new QWidget;
  header->resize(width(), kHeaderHeight);
  setBackgroundColor(header, qb_mainColor());
  QLabel* title = headerLabel(header, titleLabelText.value_or(QString()), 25, 255);
  title->setGeometry(15, 30, width() - 30, 50);
  title->adjustSize();
  title->resize(width() - 30, title->heightForWidth(width() - 30));
  QLabel* detail = headerLabel(header, detailLabelText.value_or(QString()), 15, 204);
  detail->setGeometry(15, title->geometry().bottom() + 1 + 15, width() - 30, 50);
  detail->resize(width() - 30, detail->heightForWidth(width() - 30));
  return header;  // keeps its 160 points whatever the labels need
}

void QBAddController::leftBarButtonItemAction() { dismissViewController(true); }

void QBAddController::rightBarButtonItemAction() {
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
  std::vector<std::string> changed = dataSourceArray;
  changed.push_back(text.toStdString());  // as typed: not trimmed, duplicates allowed
  if (text.isEmpty() || !save(changed)) {
    showErrorHud();
    return;
  }
  PKHUD& hud = PKHUD::sharedHUD();
  hud.setContentView(PKHUD::Content::kSuccess);
  hud.show();
  hud.setAccessibilityLabel("添加完成");
  dataSourceArray = std::move(changed);
  tableView->reloadData();
  hud.hide(kHudMs);
}

void QBAddController::commitDelete(int row) {
  if (row < 0 || row >= static_cast<int>(dataSourceArray.size())) return;
  std::vector<std::string> changed = dataSourceArray;
  changed.erase(changed.begin() + row);
  if (!save(changed)) {
    // The row stays, as it is still stored; its revealed "删除" is put away.
    showErrorHud();
    tableView->reloadData();
    return;
  }
  dataSourceArray = std::move(changed);
  tableView->reloadData();
}

bool QBAddController::save(const std::vector<std::string>& entries) {
  if (listUnreadable_) return false;
  auto kind = editedKind(userDefaultKey);
  if (!kind || !storeOpen_) return true;  // no store to write: the change stays on screen only
  auto written = RuleStore::writeList(*kind, entries);
  if (!written) qWarning("the list %s was not written: %s", ruleListKey(*kind), written.message().c_str());
  return written.ok();
}

}  // namespace quell
