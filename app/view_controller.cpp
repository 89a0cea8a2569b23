#include "app/view_controller.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
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
#include "app/rule_store_problem.h"
#include "engine/message_normalization.h"
#include "engine/rule_store.h"
#include "platform/ui/alert_controller.h"
#include "platform/ui/device.h"
#include "platform/ui/dynamic_palette.h"
#include "platform/ui/navigation_container.h"
#include "platform/ui/scroll_view.h"
#include "platform/ui/system_services.h"
#include "platform/ui/view_background.h"
#include "uikit/palette.h"

namespace quell {

namespace {

constexpr int kRulesHeight = 280, kFunctionsHeight = 396, kOtherAppRowHeight = 77, kBottomMargin = 30;
constexpr int kNoticeInset = 20, kNoticeGap = 12;
constexpr qint64 kLinkDoubleTapMs = 1000;

}  // namespace

ViewController::ViewController(QWidget* parent) : UIViewController(parent) { setTitle("Quellbox"); }

void ViewController::viewDidLoad() {
  if (auto* container = navigationContainer()) {
    container->setShowsHairline(false);
    container->setPrefersLargeTitles(true);
    container->setBarBackgroundColor(qb_backgroundColor());
  }
  setBackgroundColor(this, qb_backgroundColor());
  scrollView_ = new UIScrollView(this);
  scrollView_->setBackgroundColor(qb_backgroundColor());

  QWidget* page = scrollView_->contentView();
  storeNotice_ = new QLabel(page);
  storeNotice_->setTextFormat(Qt::PlainText);
  storeNotice_->setWordWrap(true);
  setTextColor(storeNotice_, UIColor::systemRedColor());
  storeNotice_->hide();

  rulesView_ = new QBRulesView(page);
  connect(rulesView_, &QBRulesView::ruleListChosen, this, &ViewController::openEditor);

  functionView_ = new QBFunctionView(
      {"常见问题", "如何开启短信过滤", "反馈漏拦短信", "好评鼓励", "推荐给朋友", "官方微博"},
      {"problem.png", "Tutorial.png", "Report.png", "star.png", "love.png", "video_icon.png"}, false, page);
  connect(functionView_, &QBFunctionView::rowChosen, this, &ViewController::functionChosen);

  QStringList otherNames, otherImages;
  for (const auto& other : kOtherApps) {
    otherNames << QString::fromUtf8(other.name);
    otherImages << QString::fromUtf8(other.image);
  }
  otherAppView_ = new QBFunctionView(otherNames, otherImages, true, page);
  connect(otherAppView_, &QBFunctionView::rowChosen, this, &ViewController::otherAppChosen);

  layoutPage();
  scrollView_->show();
  showSystemVersionWarning();
}

void ViewController::layoutPage() {
  if (!scrollView_) return;
  scrollView_->setGeometry(rect());
  const int column = std::min(width(), kReadableWidth), left = (width() - column) / 2;
  int top = 0;
  if (storeNotice_->isVisibleTo(this)) {
    const int noticeWidth = column - 2 * kNoticeInset;
    const int noticeHeight = storeNotice_->heightForWidth(noticeWidth);
    storeNotice_->setGeometry(left + kNoticeInset, kNoticeGap, noticeWidth, noticeHeight);
    top = kNoticeGap + noticeHeight;
  }
  rulesView_->setGeometry(left, top, column, kRulesHeight);
  functionView_->setGeometry(left, top + kRulesHeight, column, kFunctionsHeight);
  const int otherAppsTop = top + kRulesHeight + kFunctionsHeight;
  otherAppView_->setGeometry(left, otherAppsTop, column, kOtherAppRowHeight * static_cast<int>(kOtherApps.size()));
  // Vertical scrolling only: as wide as the screen, and exactly as tall as the panels.
  scrollView_->setContentSize(QSize(0, otherAppsTop + otherAppView_->height() + kBottomMargin));
}

void ViewController::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layoutPage();
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
  // No store, no list, or a list that cannot be read: 0 entries.
  for (auto kind : kAllRuleListKinds)
    sizes[static_cast<std::size_t>(kind)] = static_cast<int>(RuleStore::storedList(kind).size());
  rulesView_->setListSizes(sizes);
  const std::optional<QString> problem = ruleStoreProblem();
  storeNotice_->setText(problem.value_or(QString()));
  storeNotice_->setVisible(problem.has_value());
  layoutPage();
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
