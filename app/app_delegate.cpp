#include "app/app_delegate.h"

#include <algorithm>

#include "engine/rule_store.h"
#include "platform/ui/system_services.h"
#include "platform/user_defaults.h"

namespace quell {

namespace {

// Keyword-whitelist entries of earlier versions that let spam through; removed once.
const std::vector<std::string> kRetiredKeywords = {"尾号", "到账", "还款", "金额"};

// True when the clean-up ran (and so may be marked done).
bool removeRetiredKeywords() {
  // No store, or a value we must not overwrite: the edit fails, and the clean-up is tried next launch.
  return RuleStore::editList(RuleListKind::KeywordWhitelist,
                             [](std::vector<std::string>& whitelist) {
                               return std::erase_if(whitelist, [](const std::string& entry) {
                                        return std::find(kRetiredKeywords.begin(), kRetiredKeywords.end(), entry) !=
                                               kRetiredKeywords.end();
                                      }) > 0;
                             })
      .ok();
}

}  // namespace

bool AppDelegate::didFinishLaunching() {
  auto settings = UserDefaults::standardUserDefaults();
  // Without its private settings the app cannot tell a first launch from any other; seeding then would
  // overwrite the user's lists on every launch, so it counts nothing and changes nothing.
  if (!settings) return true;
  settings->registerDefaults({{kUseNumberKey, 0}});
  const std::int64_t launch = settings->integerForKey(kUseNumberKey) + 1;
  // A count that could not be written makes the next launch take itself for the first as well; the
  // defaults are written once per shared store all the same, so the user's edits are never overwritten.
  // Without a shared store nothing is written, and the launch goes on.
  (void)settings->setIntegerForKey(launch, kUseNumberKey);
  if (launch == 1) (void)RuleStore::seedDefaultListsOnce();
  if (launch == 6 || launch == 12 || launch == 20) SKStoreReviewController::requestReview();

  settings->registerDefaults({{kWhatsNewKey, 0}});
  if (settings->integerForKey(kWhatsNewKey) != 0) return true;
  // Should the mark not be written, the clean-up runs again next launch, which removes nothing new.
  if (removeRetiredKeywords()) (void)settings->setIntegerForKey(1, kWhatsNewKey);
  return true;
}

}  // namespace quell
