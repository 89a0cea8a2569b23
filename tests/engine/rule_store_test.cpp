#include "engine/rule_store.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/user_defaults.h"
#include "tests/support/test_environment.h"

namespace quell {
namespace {

using testing::ScopedDataHome;

std::vector<std::string> builtIns() { return {BuiltInServiceNumbers.begin(), BuiltInServiceNumbers.end()}; }

void store(RuleListKind kind, const PropertyList& value) {
  ASSERT_TRUE(UserDefaults::initWithSuiteName(AppGroupIdentifier)->setObjectForKey(value, ruleListKey(kind)));
}

TEST(RuleStore, NumberWhitelistAlwaysEndsWithTheBuiltInNumbers) {
  ScopedDataHome home;
  EXPECT_EQ(loadRuleList(RuleListKind::NumberWhitelist), builtIns());
  ASSERT_TRUE(RuleStore::writeList(RuleListKind::NumberWhitelist, {"10086", "10086"}));
  auto expected = builtIns();
  expected.insert(expected.begin(), {"10086", "10086"});
  EXPECT_EQ(loadRuleList(RuleListKind::NumberWhitelist), expected);
  // Built-ins are never stored, and deleting every entry stores an empty list.
  EXPECT_EQ(RuleStore::storedList(RuleListKind::NumberWhitelist), (std::vector<std::string>{"10086", "10086"}));
  ASSERT_TRUE(RuleStore::writeList(RuleListKind::NumberWhitelist, {}));
  EXPECT_EQ(loadRuleList(RuleListKind::NumberWhitelist), builtIns());
  EXPECT_TRUE(loadRuleList(RuleListKind::NumberBlacklist).empty());
}

TEST(RuleStore, ListsAreKeptExactlyAsWritten) {
  ScopedDataHome home;
  std::vector<std::string> entries = {" 10086", "退订", "", "退订", "a\tb"};
  ASSERT_TRUE(RuleStore::writeList(RuleListKind::KeywordBlacklist, entries));
  EXPECT_EQ(loadRuleList(RuleListKind::KeywordBlacklist), entries);
  EXPECT_TRUE(loadRuleList(RuleListKind::KeywordWhitelist).empty());
}

TEST(RuleStore, MalformedValuesReadAsEmpty) {
  ScopedDataHome home;
  store(RuleListKind::KeywordBlacklist, PropertyListArray{"退订", 42, "TD"});
  store(RuleListKind::KeywordWhitelist, PropertyListArray{"a", PropertyListArray{"nested"}});
  store(RuleListKind::NumberBlacklist, PropertyListDictionary{{"a", "b"}});
  store(RuleListKind::NumberWhitelist, PropertyListArray{"10086", PropertyListDictionary{}});
  EXPECT_TRUE(loadRuleList(RuleListKind::KeywordBlacklist).empty());
  EXPECT_TRUE(loadRuleList(RuleListKind::KeywordWhitelist).empty());
  EXPECT_TRUE(loadRuleList(RuleListKind::NumberBlacklist).empty());
  EXPECT_EQ(loadRuleList(RuleListKind::NumberWhitelist), builtIns());
  EXPECT_FALSE(RuleStore::readStoredList(RuleListKind::KeywordBlacklist));
}

TEST(RuleStore, UnopenableStoreReadsAsEmptyAndRefusesWrites) {
  ScopedDataHome home;
  auto dir = home.path() / "quell" / "defaults";
  std::filesystem::create_directories(dir);
  std::ofstream(dir / (std::string(AppGroupIdentifier) + ".sqlite")) << std::string(10000, 'x');
  EXPECT_EQ(loadRuleList(RuleListKind::NumberWhitelist), builtIns());
  EXPECT_TRUE(loadRuleList(RuleListKind::KeywordBlacklist).empty());
  EXPECT_FALSE(RuleStore::writeList(RuleListKind::KeywordBlacklist, {"x"}));
}

TEST(RuleStore, DefaultListsAndKeys) {
  EXPECT_EQ(DefaultRuleLists(RuleListKind::KeywordBlacklist),
            (std::vector<std::string>{"退订", "TD", "回T", "双十一", "双11", "澳门", "贷款"}));
  EXPECT_EQ(DefaultRuleLists(RuleListKind::NumberWhitelist).front(), "10086");
  for (auto kind : kAllRuleListKinds) EXPECT_EQ(ruleListKindForKey(ruleListKey(kind)), kind);
  EXPECT_FALSE(ruleListKindForKey("numberWhitelist"));
}

}  // namespace
}  // namespace quell
