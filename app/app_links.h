// The addresses the app links to, and the two other apps of its maker that it promotes. A desktop's store
// is its software centre, which opens an app's page from an appstream: URL of the app's AppStream
// component id.
#pragma once

#include <array>

namespace quell {

// This app's page in the software centre, where reviews are written.
inline constexpr const char* kWriteReviewLink = "appstream://app.quell.Quellbox";
// What "推荐给朋友" shares: the app's name and how to install it.
inline constexpr const char* kShareText =
    "推荐你用 Quellbox 过滤垃圾短信。安装：在软件中心搜索“Quellbox”，或在终端运行 sudo apt install quell。";
// The maker's page on a social network.
inline constexpr const char* kSocialLink = "https://weibo.com/quellapp";

struct OtherApp {
  const char* name;
  const char* image;
  const char* componentId;
};
inline constexpr std::array<OtherApp, 2> kOtherApps = {{
    {"Quell 记账", "otherApp1.png", "app.quell.Ledger"},
    {"Quell 清理", "otherApp2.png", "app.quell.Cleaner"},
}};

// The software centre's page of another app.
inline const char* kOtherAppLinkFormat = "appstream://%1";

}  // namespace quell
