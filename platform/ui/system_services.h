// The phone services the app asks for, on a desktop:
//  - requestReview: asks the store for a review prompt. A desktop has no store, so the request is only
//    counted (the store decides on a phone whether anything shows; the app never learns of it either way).
//  - openURL: hands a URL to the desktop's handler; a URL that nothing handles is silently ignored. The
//    settings address ("app-settings:", the app's page in the system settings) has no desktop counterpart:
//    the request is counted and nothing opens.
//  - presentShareSheet: offers the URL for sharing; the sheet offers at least copying the link.
#pragma once

#include <QUrl>

namespace quell {

class UIViewController;

namespace SKStoreReviewController {
void requestReview();
int requestCount();
void resetRequestCount();
}  // namespace SKStoreReviewController

void openURL(const QUrl& url);
int settingsOpenRequests();

void presentShareSheet(UIViewController* over, const QUrl& url);

}  // namespace quell
