// The store and web addresses the app links to, and the two other apps of its maker that it promotes.
#pragma once

#include <array>

namespace quell {

// This app's write-review page in the store app.
inline constexpr const char* kWriteReviewLink =
    "itms-apps://itunes.apple.com/cn/app/id1494451210?mt=8&action=write-review";
// This app's page on the store's web site, which "推荐给朋友" shares.
inline constexpr const char* kShareLink = "https://apps.apple.com/cn/app/quellbox/id1494451210?mt=8";
// The maker's page on a social network.
inline constexpr const char* kSocialLink = "https://weibo.com/quellapp";

struct OtherApp {
  const char* name;
  const char* image;
  const char* storeId;
};
inline constexpr std::array<OtherApp, 2> kOtherApps = {{
    {"Quell 记账", "otherApp1.png", "1494451211"},
    {"Quell 清理", "otherApp2.png", "1494451212"},
}};

// The store app's page of another app.
inline const char* kOtherAppLinkFormat = "itms-apps://itunes.apple.com/app/id%1?mt=8";

}  // namespace quell
