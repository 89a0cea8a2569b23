#include "app/view_controller.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

#include "app/app_links.h"
#include "app/common_problem_controller.h"
#include "app/message_test.h"
#include "app/qb_add_controller.h"
#include "app/qb_guide_page_controller.h"
#include "app/qb_network_request.h"
#include "engine/message_normalization.h"
#include "engine/rule_store.h"
#include "platform/ui/alert_controller.h"
#include "platform/ui/device.h"
#include "platform/ui/navigation_container.h"
#include "platform/ui/system_services.h"
#include "platform/ui/view_background.h"
#include "platform/user_defaults.h"
#include "uikit/palette.h"

namespace quell {

namespace {

constexpr int kRulesHeight = 280, kFunctionsTop = 280, kFunctionsHeight = 396, kOtherAppsTop = 676;
constexpr int kOtherAppRowHeight = 77, kBottomMargin = 30;

}  // namespace

ViewController::ViewController(QWidget* parent)
    : UIViewController(parent), userDefaults_(UserDefaults::initWithSuiteName(AppGroupIdentifier)) {
  setTitle("Quellbox");
}

ViewController::~ViewController() = default;

// The page, from the screen's size: the three panels stacked, the page as tall as they are.
void ViewController::viewDidLoad() {
  const int w = width(), h = height();
  if (auto* container = navigationContainer()) {
    container->setShowsHairline(false);
    container->setPrefersLargeTitles(true);
    container->setBarBackgroundColor(qb_backgroundColor());
  }
  setBackgroundColor(this, qb_backgroundColor());
  scrollView = new UIScrollView(this);
  scrollView->setGeometry(0, 0, w, h);
  scrollView->setContentSize(QSize(w, h));
  scrollView->setBackgroundColor(qb_backgroundColor());

  QWidget* page = scrollView->contentView();
  rulesView = new QBRulesView(QRect(0, 0, w, kRulesHeight), page);
  rulesView->delegate = this;

  functionView = new QBFunctionView(QRect(0, kFunctionsTop, w, kFunctionsHeight), page);
  functionView->delegate = this;
  functionView->dataSourceArray = {"常见问题", "如何开启短信过滤", "反馈漏拦短信",
                                   "好评鼓励", "推荐给朋友",       "官方微博"};
  functionView->dataSourceImageArray = {"problem.png", "Tutorial.png", "Report.png",
                                        "star.png",    "love.png",     "video_icon.png"};
  functionView->reloadData();

  const int otherApps = static_cast<int>(kOtherApps.size());
  otherAppView = new QBFunctionView(QRect(0, kOtherAppsTop, w, kOtherAppRowHeight * otherApps), page);
  otherAppView->delegate = this;
  otherAppView->app = true;
  for (const auto& other : kOtherApps) {
    otherAppView->dataSourceArray << QString::fromUtf8(other.name);
    otherAppView->dataSourceImageArray << QString::fromUtf8(other.image);
  }
  otherAppView->reloadData();

  scrollView->setContentSize(QSize(0, kOtherAppsTop + kOtherAppRowHeight * otherApps + kBottomMargin));
  scrollView->show();
  showSystemVersionWarning();
}

void ViewController::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (scrollView) scrollView->setGeometry(rect());
}

void ViewController::showSystemVersionWarning() {
  const QString version = UIDevice::systemVersion();
  if (version != "12.3.1" && version != "12.3.2") return;
  auto* alert =
      new UIAlertController("建议升级手机系统版本", "iOS " + version + " 出现系统级Bug，\n无法过滤垃圾短信问题");
  alert->addAction("好", UIAlertController::ActionStyle::kCancel);
  presentViewController(alert, true);
}

void ViewController::viewWillAppear() {
  if (!rulesView) return;
  rulesView->dataSourceRuleArray.clear();
  for (auto kind : kAllRuleListKinds) {
    // No store or no list: 0 entries.
    std::size_t count = userDefaults_ ? RuleStore::storedList(kind).size() : 0;
    rulesView->dataSourceRuleArray.push_back(static_cast<int>(count));
  }
  rulesView->reloadData();
}

void ViewController::rulesViewDidSelectItemAt(QBRulesView*, int item) {
  if (item < 0 || item > 3) return;
  auto* editor = new QBAddController;
  editor->configure(ruleEditorConfiguration(item));
  presentViewController(new NavigationContainer(editor), true);
}

void ViewController::functionViewDidSelectItemAt(QBFunctionView* view, int item) {
  if (view == functionView) {
    switch (static_cast<FunctionRow>(item)) {
      case FunctionRow::kProblems:
        presentViewController(new NavigationContainer(new CommonProblemController), true);
        break;
      case FunctionRow::kTutorial: presentViewController(new QBGuidePageController, true); break;
      case FunctionRow::kReport: testClipboardMessage(); break;
      case FunctionRow::kReview: openLink(kWriteReviewLink); break;
      case FunctionRow::kShare: shareApp(); break;
      case FunctionRow::kSocial: openLink(kSocialLink); break;
    }
  } else if (view == otherAppView && item >= 0 && item < static_cast<int>(kOtherApps.size())) {
    openLink(QString(kOtherAppLinkFormat).arg(kOtherApps[static_cast<std::size_t>(item)].storeId));
  }
}

void ViewController::openLink(const QString& text) {
  QUrl url(text, QUrl::StrictMode);
  if (!url.isValid() || url.scheme().isEmpty()) return;  // a link that does not parse does nothing
  openURL(url);
}

void ViewController::shareApp() {
  QUrl url(kShareLink, QUrl::StrictMode);
  if (!url.isValid()) return;
  presentShareSheet(this, url);
}

}  // namespace quell

namespace quell {

void ViewController::testClipboardMessage() {
  const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
  const QString raw = clip && clip->hasText() ? clip->text() : QString();
  const std::string text = normalizeMessageBody(raw.toStdString());
  if (text.empty()) {
    auto* alert = new UIAlertController("请拷贝短信内容到剪贴板", QString());
    alert->addAction("好", UIAlertController::ActionStyle::kCancel);
    presentViewController(alert, true);
    return;
  }
  const TestVerdict verdict = judgeMessage(text);
  auto* alert = new UIAlertController(verdict.title, raw);  // the text as copied, line breaks and all
  const std::string appLabel = verdict.label;
  alert->addAction("这是垃圾短信", UIAlertController::ActionStyle::kDestructive,
                   [text, appLabel] { reportMessage(text, "spam", appLabel); });
  alert->addAction("这是正常短信", UIAlertController::ActionStyle::kDefault,
                   [text, appLabel] { reportMessage(text, "ham", appLabel); });
  alert->addAction("好", UIAlertController::ActionStyle::kCancel);
  presentViewController(alert, true);
}

}  // namespace quell
