// AppDelegate: what the app does once per launch, before the first screen shows.
//
// It counts the launch ("useNumberKey" in the app's private settings), writes the default rule lists on the
// first launch, asks for a store review on the 6th, 12th and 20th launch, and once (guarded by
// "whatsNewKey") removes retired words from the keyword whitelist. A shared store that cannot be opened
// skips its steps without stopping the launch; the clean-up then runs on a later launch.
#pragma once

namespace quell {

class AppDelegate {
 public:
  // Runs the start-up sequence. Always true.
  bool didFinishLaunching();
};

inline constexpr const char* kUseNumberKey = "useNumberKey";
inline constexpr const char* kWhatsNewKey = "whatsNewKey";

}  // namespace quell
