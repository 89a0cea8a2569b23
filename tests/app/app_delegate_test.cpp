#include "app/app_delegate.h"

#include <gtest/gtest.h>

#include <fstream>

#include "engine/rule_store.h"
#include "platform/bundle.h"
#include "platform/ui/system_services.h"
#include "platform/user_defaults.h"
#include "tests/support/test_environment.h"

namespace quell {
namespace {

class Launch : public ::testing::Test {
 protected:
  void SetUp() override { SKStoreReviewController::resetRequestCount(); }
  std::int64_t setting(const char* key) { return UserDefaults::standardUserDefaults()->integerForKey(key); }
  testing::ScopedDataHome home_;
};

// Lists made before the first launch (with quellrules, or quelllog not-junk on a gateway) are the user's:
// only absent lists get their defaults, and an emptied list stays empty.
TEST_F(Launch, FirstLaunchGivesDefaultsOnlyToListsThatAreAbsent) {
  ASSERT_TRUE(RuleStore::writeList(RuleListKind::KeywordBlacklist, {"old"}));
  ASSERT_TRUE(RuleStore::writeList(RuleListKind::NumberBlacklist, {}));
  EXPECT_TRUE(AppDelegate().didFinishLaunching());
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordBlacklist), std::vector<std::string>{"old"});
  EXPECT_TRUE(RuleStore::storedList(RuleListKind::NumberBlacklist).empty());
  for (auto kind : {RuleListKind::NumberWhitelist, RuleListKind::KeywordWhitelist})
    EXPECT_EQ(RuleStore::storedList(kind), DefaultRuleLists(kind));
  EXPECT_EQ(setting(kUseNumberKey), 1);
  EXPECT_EQ(setting(kWhatsNewKey), 1);
  EXPECT_EQ(SKStoreReviewController::requestCount(), 0);

  // Later launches leave the lists alone, even emptied ones.
  ASSERT_TRUE(RuleStore::writeList(RuleListKind::KeywordBlacklist, {}));
  AppDelegate().didFinishLaunching();
  EXPECT_TRUE(RuleStore::storedList(RuleListKind::KeywordBlacklist).empty());
  EXPECT_EQ(setting(kUseNumberKey), 2);
}

TEST_F(Launch, AsksForReviewsOnTheSixthTwelfthAndTwentiethLaunch) {
  std::vector<int> asked;
  for (int launch = 1; launch <= 22; ++launch) {
    int before = SKStoreReviewController::requestCount();
    AppDelegate().didFinishLaunching();
    if (SKStoreReviewController::requestCount() != before) asked.push_back(launch);
  }
  EXPECT_EQ(asked, (std::vector<int>{6, 12, 20}));
}

TEST_F(Launch, RemovesRetiredKeywordsOnceByWholeEntry) {
  auto settings = UserDefaults::standardUserDefaults();
  ASSERT_TRUE(settings->setIntegerForKey(3, kUseNumberKey));
  ASSERT_TRUE(
      RuleStore::writeList(RuleListKind::KeywordWhitelist, {"验证码", "尾号", "转账", "金额", "尾号1", "还款"}));
  AppDelegate().didFinishLaunching();
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordWhitelist),
            (std::vector<std::string>{"验证码", "转账", "尾号1"}));
  EXPECT_EQ(setting(kWhatsNewKey), 1);
  ASSERT_TRUE(RuleStore::writeList(RuleListKind::KeywordWhitelist, {"尾号"}));
  AppDelegate().didFinishLaunching();
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordWhitelist), std::vector<std::string>{"尾号"});
}

// A first launch whose count cannot be written (another writer holds the private store) seeds the lists;
// the next launch, which also takes itself for the first, leaves what the user made of them alone.
TEST_F(Launch, ACountThatWasNotWrittenNeverLetsTheDefaultsOverwriteEdits) {
  ASSERT_EQ(setting(kUseNumberKey), 0);  // the store exists and is open; only its writes will fail
  {
    testing::StoreWriteLock busy(UserDefaults::pathForDomain(Bundle::main().identifier()));
    EXPECT_TRUE(AppDelegate().didFinishLaunching());
  }
  EXPECT_EQ(setting(kUseNumberKey), 0);  // the count was lost
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordBlacklist), DefaultRuleLists(RuleListKind::KeywordBlacklist));
  ASSERT_TRUE(RuleStore::writeList(RuleListKind::KeywordBlacklist, {"mine"}));
  ASSERT_TRUE(RuleStore::writeList(RuleListKind::NumberWhitelist, {}));
  EXPECT_TRUE(AppDelegate().didFinishLaunching());
  EXPECT_EQ(setting(kUseNumberKey), 1);
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordBlacklist), std::vector<std::string>{"mine"});
  EXPECT_TRUE(RuleStore::storedList(RuleListKind::NumberWhitelist).empty());
}

TEST_F(Launch, WithoutTheSharedStoreTheLaunchGoesOnAndTheCleanUpWaits) {
  auto dir = home_.path() / "quell" / "defaults";
  std::filesystem::create_directories(dir);
  std::ofstream(dir / (std::string(AppGroupIdentifier) + ".sqlite")) << std::string(5000, 'x');
  EXPECT_TRUE(AppDelegate().didFinishLaunching());
  EXPECT_EQ(setting(kUseNumberKey), 1);
  EXPECT_EQ(setting(kWhatsNewKey), 0);  // did not run, so it runs on a later launch
  std::filesystem::remove(dir / (std::string(AppGroupIdentifier) + ".sqlite"));
  ASSERT_TRUE(RuleStore::writeList(RuleListKind::KeywordWhitelist, {"金额", "取件码"}));
  AppDelegate().didFinishLaunching();
  EXPECT_EQ(setting(kWhatsNewKey), 1);
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordWhitelist), std::vector<std::string>{"取件码"});
}

}  // namespace
}  // namespace quell

namespace quell {
namespace {

// Without its own settings the app cannot tell a first launch from any other: it must not reseed (and so
// wipe) the user's lists on every start.
TEST(LaunchWithoutPrivateSettings, LeavesTheUsersListsAlone) {
  testing::ScopedDataHome home;
  ASSERT_TRUE(RuleStore::writeList(RuleListKind::KeywordBlacklist, {"mine"}));
  auto privateStore = UserDefaults::pathForDomain(Bundle::main().identifier());
  std::ofstream(privateStore) << std::string(5000, 'x');
  for (int launch = 0; launch < 3; ++launch) EXPECT_TRUE(AppDelegate().didFinishLaunching());
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordBlacklist), std::vector<std::string>{"mine"});
}

}  // namespace
}  // namespace quell

namespace quell {
namespace {

// The shipped app synthesises no input: it does not even load the test library (the screen tour that
// does lives in tools/quellshots).
TEST(ShippedApp, LinksNoTestLibrary) {
  auto linked = testing::runProcess("/usr/bin/ldd", {QUELLBOX_PATH});
  ASSERT_EQ(linked.exitCode, 0) << linked.err;
  EXPECT_NE(linked.out.find("libQt6Widgets"), std::string::npos) << linked.out;
  EXPECT_EQ(linked.out.find("libQt6Test"), std::string::npos) << linked.out;
}

}  // namespace
}  // namespace quell
