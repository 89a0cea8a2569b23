#include "app/common_problem_controller.h"

#include "app/page_title_bar.h"
#include "platform/ui/dynamic_palette.h"
#include "platform/ui/navigation_container.h"
#include "platform/ui/view_background.h"
#include "uikit/palette.h"

namespace quell {

namespace {

const std::vector<FaqEntry>& faqEntries() {
  static const std::vector<FaqEntry> entries = {
      {"过滤优先顺序", "号码白名单 -> 号码黑名单 -> 关键词白名单 -> 关键词黑名单 -> Core ML 智能模型"},
      {"什么样的信息会被过滤",
       "iOS 11规定当出现以下三种情况时，短信不会被过滤器处理\n1、 iMessage 信息\n2、发件人在您的通讯录中；\n"
       "3、您曾经给发件人发送过三条以上的信息。"},
      {"为什么垃圾短信屏蔽了，但是还有小红点", "iOS 系统原因，没权限处理。"},
      {"短信被屏蔽之后，怎样去除屏蔽",
       "1、在过滤信息中删除，这样系统会将此号码重新进行过滤;\n2、对过滤信息发送三条信息。"},
      {"为什么正常的短信也被屏蔽了", "iOS 系统是基于号码的屏蔽，当号码被标记为垃圾短信后；之后所有的信息都会被过滤。"},
  };
  return entries;
}

void styleLabel(QLabel* label, int pixelSize, const UIColor& color) {
  QFont font = label->font();
  font.setPixelSize(pixelSize);
  label->setFont(font);
  setTextColor(label, color);  // resolved whenever drawn, so it follows a change of appearance
}

}  // namespace

CommonProblemController::CommonProblemController(QWidget* parent) : UIViewController(parent) {}

void CommonProblemController::viewDidLoad() {
  entries_ = faqEntries();
  setTitle("常见问题");
  setBackgroundColor(this, qb_backgroundColor());
  if (QPushButton* close = setUpClosablePageBar(this))
    connect(close, &QPushButton::clicked, this, &CommonProblemController::closeDismiss);
  tableView_ = new UITableView(this);
  tableView_->setGeometry(rect());
  tableView_->setCellStyle(UITableViewCell::Style::kSubtitle);
  tableView_->setShowsSeparators(false);
  tableView_->setBackgroundColor(qb_backgroundColor());
  tableView_->setDataSource({
      [this] { return static_cast<int>(entries_.size()); },
      [this](UITableViewCell& cell) {
        const FaqEntry& entry = entries_[static_cast<std::size_t>(cell.row())];
        cell.textLabel()->setText(entry.question);
        styleLabel(cell.textLabel(), 17, qb_label());
        cell.detailTextLabel()->setText(entry.answer);
        styleLabel(cell.detailTextLabel(), 15, qb_secondaryLabel());
        cell.setCellBackgroundColor(qb_backgroundColor());
      },
      nullptr,  // read-only: no swipe-to-delete
  });
  tableView_->show();
  tableView_->reloadData();
}

void CommonProblemController::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (tableView_) tableView_->setGeometry(rect());
}

void CommonProblemController::closeDismiss() {
  if (navigationContainer()) dismissViewController(true);
}

}  // namespace quell
