#include "engine/rule_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "engine/junk_deletion_setting.h"
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

// Editors in separate processes (the app, quellrules, quelllog) each read, change and write a list; with
// the read and the write in one transaction, none of their additions is lost.
TEST(RuleStore, EditsFromConcurrentProcessesAreNeverLost) {
  ScopedDataHome home;
  ASSERT_TRUE(RuleStore::writeList(RuleListKind::KeywordBlacklist, {}));
  constexpr int kWriters = 3, kEdits = 40;
  EXPECT_TRUE(testing::allChildrenSucceed(kWriters, [](int w) {
    int failed = 0;
    for (int i = 0; i < kEdits; ++i) {
      auto added = RuleStore::editList(RuleListKind::KeywordBlacklist, [&](std::vector<std::string>& entries) {
        entries.push_back(std::to_string(w) + "-" + std::to_string(i));
        return true;
      });
      // A busy store is a refusal with nothing changed; the writer tries again, as a person would.
      if (!added && added.code() == StoreError::kBusy)
        --i;
      else if (!added)
        ++failed;
    }
    return failed;
  }));
  auto entries = RuleStore::storedList(RuleListKind::KeywordBlacklist);
  EXPECT_EQ(entries.size(), static_cast<std::size_t>(kWriters * kEdits));
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(std::unique(entries.begin(), entries.end()), entries.end());
}

TEST(RuleStore, AnEditNeverWritesOverWhatItCouldNotRead) {
  ScopedDataHome home;
  store(RuleListKind::KeywordBlacklist, PropertyListArray{"退订", 42});
  bool ran = false;
  auto edited = RuleStore::editList(RuleListKind::KeywordBlacklist, [&](std::vector<std::string>& entries) {
    ran = true;
    entries.push_back("x");
    return true;
  });
  ASSERT_FALSE(edited);
  EXPECT_EQ(edited.code(), StoreError::kUnreadable);
  EXPECT_NE(edited.message().find("keyword-blacklist"), std::string::npos) << edited.message();
  EXPECT_FALSE(ran);
  auto raw =
      UserDefaults::initWithSuiteName(AppGroupIdentifier)->objectForKey(ruleListKey(RuleListKind::KeywordBlacklist));
  ASSERT_TRUE(raw && raw->get<PropertyListArray>());
  EXPECT_EQ(raw->get<PropertyListArray>()->size(), 2u);

  // An edit that changes nothing writes nothing, and the result is the list as stored.
  ASSERT_TRUE(RuleStore::writeList(RuleListKind::KeywordWhitelist, {"a"}));
  auto unchanged = RuleStore::editList(RuleListKind::KeywordWhitelist, [](std::vector<std::string>& entries) {
    entries.push_back("not stored");
    return false;
  });
  ASSERT_TRUE(unchanged);
  EXPECT_EQ(*unchanged, std::vector<std::string>{"a"});
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordWhitelist), std::vector<std::string>{"a"});
}

TEST(RuleStore, ATypedEntryIsTrimmedAndABlankOneRefused) {
  EXPECT_EQ(typedRuleEntry("  退订\n"), "退订");
  EXPECT_EQ(typedRuleEntry("\xe3\x80\x80"
                           "a b\t"),
            "a b");  // U+3000 ideographic space
  EXPECT_FALSE(typedRuleEntry(" "));
  EXPECT_FALSE(typedRuleEntry("\xe3\x80\x80\n\t"));
  EXPECT_FALSE(typedRuleEntry(""));
  EXPECT_EQ(typedRuleEntry("\xff "), "\xff");  // ill-formed bytes are kept, not trimmed
}

// The bridge deletes junk only when told to; anything else in the store keeps junk on the modem.
TEST(RuleStore, JunkIsDeletedFromTheModemOnlyWhenSwitchedOn) {
  ScopedDataHome home;
  EXPECT_FALSE(deletesJunkFromModem());
  ASSERT_TRUE(setDeletesJunkFromModem(true));
  EXPECT_TRUE(deletesJunkFromModem());
  ASSERT_TRUE(UserDefaults::initWithSuiteName(AppGroupIdentifier)->setObjectForKey("yes", kDeleteJunkFromModemKey));
  EXPECT_FALSE(deletesJunkFromModem());
  ASSERT_TRUE(setDeletesJunkFromModem(false));
  EXPECT_FALSE(deletesJunkFromModem());
}

}  // namespace
}  // namespace quell
