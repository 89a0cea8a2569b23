#include "platform/ui/system_services.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>

#include "platform/ui/alert_controller.h"
#include "platform/ui/hud.h"

namespace quell {

namespace {
int reviewRequests = 0;
int settingsRequests = 0;
}  // namespace

void SKStoreReviewController::requestReview() { ++reviewRequests; }
int SKStoreReviewController::requestCount() { return reviewRequests; }
void SKStoreReviewController::resetRequestCount() { reviewRequests = 0; }

int settingsOpenRequests() { return settingsRequests; }

void openURL(const QUrl& url) {
  if (url.scheme() == "app-settings") {
    ++settingsRequests;
    return;
  }
  // The result is deliberately ignored: a URL that no handler takes does nothing.
  QDesktopServices::openUrl(url);
}

void presentShareSheet(UIViewController* over, const QUrl& url) {
  auto* sheet = new UIAlertController("分享", url.toString());
  sheet->setObjectName("shareSheet");
  sheet->addAction("拷贝链接", UIAlertController::ActionStyle::kDefault, [url] {
    QGuiApplication::clipboard()->setText(url.toString());
    PKHUD::sharedHUD().setContentView(PKHUD::Content::kText, "已拷贝");
    PKHUD::sharedHUD().show();
    PKHUD::sharedHUD().hide(800);
  });
  sheet->addAction("取消", UIAlertController::ActionStyle::kCancel);
  over->presentViewController(sheet, true);
}

}  // namespace quell
