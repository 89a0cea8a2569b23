// The phone services the app asks for, on a desktop:
//  - requestReview: asks the store for a review prompt. A desktop has no store, so the request is only
//    counted (the store decides on a phone whether anything shows; the app never learns of it either way).
//  - openURL: hands a URL to the desktop's handler. The completion, when given, learns whether anything
//    took it: a scheme other than the web's, mail's and files' is opened only when an installed
//    application declares it (a desktop entry's x-scheme-handler type), else the completion gets false and
//    nothing opens. The settings address ("app-settings:", the app's page in the system settings) opens
//    the page the app set with setAppSettingsOpener, and is counted; without one, nothing opens.
//  - presentShareSheet: offers a text for sharing; the sheet offers at least copying it.
#pragma once

#include <QUrl>
#include <functional>

namespace quell {

class UIViewController;

namespace SKStoreReviewController {
void requestReview();
int requestCount();
void resetRequestCount();
}  // namespace SKStoreReviewController

void openURL(const QUrl& url, std::function<void(bool success)> completion = nullptr);
int settingsOpenRequests();
// What opens the app's page in the settings (nullptr: nothing).
void setAppSettingsOpener(std::function<void()> opener);

void presentShareSheet(UIViewController* over, const QString& text);

}  // namespace quell
