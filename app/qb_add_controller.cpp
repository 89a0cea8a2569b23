#include "app/qb_add_controller.h"

#include <QLabel>
#include <QPointer>
#include <algorithm>

#include "engine/rule_store.h"
#include "platform/ui/alert_controller.h"
#include "platform/ui/hud.h"
#include "platform/ui/navigation_container.h"
#include "platform/ui/table_view.h"
#include "platform/ui/view_background.h"
#include "uikit/palette.h"

namespace quell {

namespace {

constexpr int kHeaderHeight = 160, kHeaderTop = 30, kHeaderSide = 15, kHeaderGap = 15;

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

// The table's header: the list's name and what it does, in white on the brand colour. It is 160 points
// high, or taller when a narrow screen wraps its text onto more lines, so the text is never cut off.
class RuleEditorHeader : public QWidget {
 public:
  explicit RuleEditorHeader(const RuleEditorTexts& texts)
      : title_(headerLabel(this, QString::fromUtf8(texts.title), 25, 255)),
        detail_(headerLabel(this, QString::fromUtf8(texts.detail), 15, 204)) {
    setBackgroundColor(this, qb_mainColor());
    QSizePolicy policy = sizePolicy();
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    resize(375, kHeaderHeight);
  }

  int heightForWidth(int w) const override {
    const int text = w - 2 * kHeaderSide;
    return std::max(kHeaderHeight, kHeaderTop + title_->heightForWidth(text) + kHeaderGap +
                                       detail_->heightForWidth(text) + kHeaderGap);
  }

 protected:
  void resizeEvent(QResizeEvent*) override {
    const int text = width() - 2 * kHeaderSide;
    title_->setGeometry(kHeaderSide, kHeaderTop, text, title_->heightForWidth(text));
    detail_->setGeometry(kHeaderSide, title_->geometry().bottom() + 1 + kHeaderGap, text,
                         detail_->heightForWidth(text));
  }

 private:
  QLabel* title_;
  QLabel* detail_;
};

void showErrorHud(const QString& why) {
  PKHUD& hud = PKHUD::sharedHUD();
  hud.setContentView(PKHUD::Content::kError, why);
  hud.setAccessibilityLabel(why);
  hud.show();
  hud.hide(QBAddController::kErrorHudMs);
}

// Removes the entry the user saw: the occurrence-th copy of `shown` (counting from 0), or, when the stored
// list no longer has that many, its last copy. False when it is gone already: nothing to store.
bool removeShownEntry(std::vector<std::string>& entries, const std::string& shown, std::ptrdiff_t occurrence) {
  auto copy = entries.end();
  for (auto it = entries.begin(); it != entries.end(); ++it) {
    if (*it != shown) continue;
    copy = it;
    if (occurrence-- == 0) break;
  }
  if (copy == entries.end()) return false;
  entries.erase(copy);
  return true;
}

}  // namespace

const RuleEditorTexts& ruleEditorTexts(RuleListKind kind) {
  static const RuleEditorTexts texts[4] = {
      {"自定义号码白名单", "号码白名单",
       "添加后，白名单号码发送的短信，将不再参与过滤，可正常收到短信通知、提醒和小红点角标。", "号码"},
      {"自定义号码黑名单", "号码黑名单",
       "添加后，黑名单号码发送的短信都会被过滤，无法收到短信通知、提醒，只有小红点角标。", "号码"},
      {"自定义关键字白名单", "关键字白名单",
       "添加后，含有该关键字的短信将不再参与过滤，可正常收到短信通知、提醒和小红点角标。", "关键词"},
      {"自定义关键字黑名单", "关键字黑名单",
       "添加后，含有该关键字的短信将会被过滤，不会有通知和声音提醒，但会有小红点角标。由于系统限制，短信被过滤后，该号码所有短信将被过滤。",
       "关键词"},
  };
  return texts[static_cast<int>(kind)];
}

QBAddController::QBAddController(RuleListKind kind, QWidget* parent) : UIViewController(parent), kind_(kind) {
  setTitle(QString::fromUtf8(ruleEditorTexts(kind).navigationTitle));
}

void QBAddController::viewDidLoad() {
  setBackgroundColor(this, UIColor::whiteColor());
  if (auto* container = navigationContainer()) {
    QPushButton* doneButton = container->setLeftBarButton("完成", true);
    connect(doneButton, &QPushButton::clicked, this, &QBAddController::done);
    setEscapeButton(doneButton);
    connect(container->setRightBarButton("添加", true), &QPushButton::clicked, this, &QBAddController::promptForEntry);
  }
  // A list whose stored data cannot be read is shown empty and never written, so that an edit here cannot
  // replace what the user had. Without a store the list shows empty, and every edit says it failed.
  auto stored = RuleStore::readStoredList(kind_);
  listUnreadable_ = stored.code() == StoreError::kUnreadable;
  if (stored) entries_ = std::move(*stored);

  tableView_ = new UITableView(this);
  tableView_->setGeometry(rect());
  tableView_->setBackgroundColor(qb_backgroundColor());
  tableView_->setTableHeaderView(new RuleEditorHeader(ruleEditorTexts(kind_)));
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
  // Left-aligned, so that the placeholder shows while the field has the focus.
  field->setPlaceholderText(QString::fromUtf8(ruleEditorTexts(kind_).placeholder));
  field->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  // The prompt goes when this editor goes; the handler still checks, and never acts for a screen that is gone.
  QPointer<QBAddController> self = this;
  alert->addAction("添加", UIAlertController::ActionStyle::kDefault, [self, field] {
    if (self) self->addEntry(field->text());
  });
  alert->addAction("取消", UIAlertController::ActionStyle::kCancel);
  presentViewController(alert, true);
}

void QBAddController::addEntry(const QString& text) {
  const std::optional<std::string> entry = typedRuleEntry(text.toStdString());
  if (!entry) {
    showErrorHud("规则不能为空白");
    return;
  }
  auto stored = RuleStore::editList(kind_, [&](std::vector<std::string>& entries) {
    entries.push_back(*entry);  // duplicates are allowed
    return true;
  });
  showStored(stored);
  if (!stored) return;
  PKHUD& hud = PKHUD::sharedHUD();
  hud.setContentView(PKHUD::Content::kSuccess);
  hud.show();
  hud.setAccessibilityLabel("添加完成");
  hud.hide(kSuccessHudMs);
}

void QBAddController::deleteEntry(int row) {
  if (row < 0 || row >= static_cast<int>(entries_.size())) return;
  const std::string shown = entries_[static_cast<std::size_t>(row)];
  const auto occurrence = std::count(entries_.begin(), entries_.begin() + row, shown);
  showStored(RuleStore::editList(
      kind_, [&](std::vector<std::string>& entries) { return removeShownEntry(entries, shown, occurrence); }));
}

void QBAddController::showStored(const Result<std::vector<std::string>, StoreError>& stored) {
  if (stored) {
    entries_ = *stored;
  } else {
    qWarning("the list %s was not changed: %s", ruleListName(kind_), stored.message().c_str());
    listUnreadable_ = stored.code() == StoreError::kUnreadable;
    showErrorHud("未能保存");
  }
  tableView_->reloadData();  // also puts a revealed "删除" away
}

}  // namespace quell
