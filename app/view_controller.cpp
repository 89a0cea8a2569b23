#include "app/view_controller.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>
#include <QUrl>

#include "app/app_links.h"
#include "app/common_problem_controller.h"
#include "app/message_test.h"
#include "app/qb_add_controller.h"
#include "app/qb_guide_page_controller.h"
#include "app/qb_network_request.h"
#include "app/qb_panels.h"
#include "engine/message_normalization.h"
#include "engine/rule_store.h"
#include "platform/ui/alert_controller.h"
#include "platform/ui/device.h"
#include "platform/ui/navigation_container.h"
#include "platform/ui/scroll_view.h"
#include "platform/ui/system_services.h"
#include "platform/ui/view_background.h"
#include "platform/user_defaults.h"
#include "uikit/palette.h"

namespace quell {

namespace {

constexpr int kRulesHeight = 280, kFunctionsTop = 280, kFunctionsHeight = 396, kOtherAppsTop = 676;
constexpr int kOtherAppRowHeight = 77, kBottomMargin = 30;
constexpr qint64 kLinkDoubleTapMs = 1000;

}  // namespace

ViewController::ViewController(QWidget* parent)
    : UIViewController(parent), userDefaults_(UserDefaults::initWithSuiteName(AppGroupIdentifier)) {
  setTitle("Quellbox");
}

ViewController::~ViewController() = default;

// The page, from the screen's size: the three panels stacked, the page as tall as they are.
void ViewController::viewDidLoad() {
  if (auto* container = navigationContainer()) {
    container->setShowsHairline(false);
    container->setPrefersLargeTitles(true);
    container->setBarBackgroundColor(qb_backgroundColor());
  }
  // Measured after the large title took its room, so the page scrolls exactly to its end.
  const int w = width(), h = height();
  setBackgroundColor(this, qb_backgroundColor());
  scrollView_ = new UIScrollView(this);
  scrollView_->setGeometry(0, 0, w, h);
  scrollView_->setContentSize(QSize(w, h));
  scrollView_->setBackgroundColor(qb_backgroundColor());

  QWidget* page = scrollView_->contentView();
  rulesView_ = new QBRulesView(QRect(0, 0, w, kRulesHeight), page);
  connect(rulesView_, &QBRulesView::ruleListChosen, this, &ViewController::openEditor);

  auto* functionView = new QBFunctionView(
      QRect(0, kFunctionsTop, w, kFunctionsHeight),
      {"常见问题", "如何开启短信过滤", "反馈漏拦短信", "好评鼓励", "推荐给朋友", "官方微博"},
      {"problem.png", "Tutorial.png", "Report.png", "star.png", "love.png", "video_icon.png"}, false, page);
  connect(functionView, &QBFunctionView::rowChosen, this, &ViewController::functionChosen);

  QStringList otherNames, otherImages;
  for (const auto& other : kOtherApps) {
    otherNames << QString::fromUtf8(other.name);
    otherImages << QString::fromUtf8(other.image);
  }
  const int otherApps = static_cast<int>(kOtherApps.size());
  auto* otherAppView = new QBFunctionView(QRect(0, kOtherAppsTop, w, kOtherAppRowHeight * otherApps), otherNames,
                                          otherImages, true, page);
  connect(otherAppView, &QBFunctionView::rowChosen, this, &ViewController::otherAppChosen);

  scrollView_->setContentSize(QSize(0, kOtherAppsTop + kOtherAppRowHeight * otherApps + kBottomMargin));
  scrollView_->show();
  showSystemVersionWarning();
}

void ViewController::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (scrollView_) scrollView_->setGeometry(rect());
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
  if (!rulesView_) return;
  std::array<int, 4> sizes = {0, 0, 0, 0};
  for (auto kind : kAllRuleListKinds) {
    // No store or no list: 0 entries.
    std::size_t count = userDefaults_ ? RuleStore::storedList(kind).size() : 0;
    sizes[static_cast<std::size_t>(kind)] = static_cast<int>(count);
  }
  rulesView_->setListSizes(sizes);
}

void ViewController::openEditor(RuleListKind kind) {
  presentViewController(new NavigationContainer(new QBAddController(kind)), true);
}

void ViewController::functionChosen(int row) {
  switch (static_cast<FunctionRow>(row)) {
    case FunctionRow::kProblems:
      presentViewController(new NavigationContainer(new CommonProblemController), true);
      break;
    case FunctionRow::kTutorial: presentViewController(new QBGuidePageController, true); break;
    case FunctionRow::kReport: testClipboardMessage(); break;
    case FunctionRow::kReview: openLink(kWriteReviewLink); break;
    case FunctionRow::kShare: shareApp(); break;
    case FunctionRow::kSocial: openLink(kSocialLink); break;
  }
}

void ViewController::otherAppChosen(int row) {
  if (row < 0 || row >= static_cast<int>(kOtherApps.size())) return;
  openLink(QString(kOtherAppLinkFormat).arg(kOtherApps[static_cast<std::size_t>(row)].componentId));
}

void ViewController::openLink(const QString& text) {
  QUrl url(text, QUrl::StrictMode);
  if (!url.isValid() || url.scheme().isEmpty()) return;  // a link that does not parse does nothing
  // A second tap while the first one's page is still opening opens nothing more.
  if (lastLinkOpened_.isValid() && lastLinkOpened_.elapsed() < kLinkDoubleTapMs) return;
  lastLinkOpened_.start();
  openURL(url, [self = QPointer<ViewController>(this), url](bool opened) {
    // A store link that no software centre takes says so, rather than doing nothing.
    if (opened || !self || url.scheme() != "appstream") return;
    auto* alert =
        new UIAlertController("没有软件中心",
                              "没有找到可以打开应用页面的软件中心。请先安装一个，例如“GNOME 软件”（gnome-software）"
                              "或 Discover（plasma-discover）。");
    alert->addAction("好", UIAlertController::ActionStyle::kCancel);
    self->presentViewController(alert, true);
  });
}

void ViewController::shareApp() { presentShareSheet(this, QString::fromUtf8(kShareText)); }

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
