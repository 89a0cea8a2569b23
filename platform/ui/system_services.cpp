#include "platform/ui/system_services.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>

#include "platform/ui/alert_controller.h"
#include "platform/ui/hud.h"
#include "platform/ui/url_scheme_handlers.h"

namespace quell {

namespace {
int reviewRequests = 0;
int settingsRequests = 0;
std::function<void()> settingsOpener;
}  // namespace

void SKStoreReviewController::requestReview() { ++reviewRequests; }
int SKStoreReviewController::requestCount() { return reviewRequests; }
void SKStoreReviewController::resetRequestCount() { reviewRequests = 0; }

int settingsOpenRequests() { return settingsRequests; }

void setAppSettingsOpener(std::function<void()> opener) { settingsOpener = std::move(opener); }

void openURL(const QUrl& url, std::function<void(bool success)> completion) {
  bool opened = false;
  if (url.scheme() == "app-settings") {
    ++settingsRequests;
    if (settingsOpener) settingsOpener();
    opened = settingsOpener != nullptr;
  } else if (desktopHandlesScheme(url.scheme())) {
    opened = QDesktopServices::openUrl(url);
  }
  if (completion) completion(opened);
}

void presentShareSheet(UIViewController* over, const QString& text) {
  auto* sheet = new UIAlertController("分享", text);
  sheet->setObjectName("shareSheet");
  sheet->addAction("拷贝", UIAlertController::ActionStyle::kDefault, [text] {
    QGuiApplication::clipboard()->setText(text);
    PKHUD::sharedHUD().setContentView(PKHUD::Content::kText, "已拷贝");
    PKHUD::sharedHUD().show();
    PKHUD::sharedHUD().hide(800);
  });
  sheet->addAction("取消", UIAlertController::ActionStyle::kCancel);
  over->presentViewController(sheet, true);
}

}  // namespace quell
