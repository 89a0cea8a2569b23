#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "engine/rule_store.h"
#include "platform/user_defaults.h"
#include "tests/support/test_environment.h"

namespace quell {
namespace {

using testing::runProcess;

testing::ProcessResult rules(const std::vector<std::string>& args, const std::string& input = "") {
  return runProcess(QUELLRULES_PATH, args, input);
}

TEST(Quellrules, AddsDeletesAndListsEntries) {
  testing::ScopedDataHome home;
  EXPECT_EQ(rules({"add", "keyword-blacklist", "退订"}).exitCode, 0);
  EXPECT_EQ(rules({"add", "keywordBlacklistKey", " 贷款 "}).exitCode, 0);
  EXPECT_EQ(rules({"add", "keyword-blacklist", "退订"}).exitCode, 0);
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordBlacklist),
            (std::vector<std::string>{"退订", " 贷款 ", "退订"}));
  EXPECT_EQ(rules({"delete", "keyword-blacklist", "1"}).exitCode, 0);
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordBlacklist), (std::vector<std::string>{"退订", "退订"}));

  EXPECT_NE(rules({"add", "keyword-blacklist", ""}).exitCode, 0);
  EXPECT_NE(rules({"add", "keyword-blacklist", "\xff"}).exitCode, 0);
  EXPECT_NE(rules({"add", "no-such-list", "x"}).exitCode, 0);
  EXPECT_NE(rules({"delete", "keyword-blacklist", "2"}).exitCode, 0);
  EXPECT_NE(rules({"delete", "keyword-blacklist", "-1"}).exitCode, 0);
  EXPECT_NE(rules({"delete", "number-whitelist", "0"}).exitCode, 0);  // built-ins cannot be deleted
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordBlacklist).size(), 2u);

  auto listing = rules({"list"});
  EXPECT_EQ(listing.exitCode, 0);
  EXPECT_NE(listing.out.find("95588\t(built-in)"), std::string::npos);
  EXPECT_NE(listing.out.find("  1\t退订"), std::string::npos);
}

TEST(Quellrules, RefusesToEditAListItCannotRead) {
  testing::ScopedDataHome home;
  UserDefaults::initWithSuiteName(AppGroupIdentifier)
      ->setObjectForKey(PropertyListArray{"kept", 42}, ruleListKey(RuleListKind::KeywordBlacklist));
  EXPECT_NE(rules({"add", "keyword-blacklist", "x"}).exitCode, 0);
  auto stored = UserDefaults::initWithSuiteName(AppGroupIdentifier)->objectForKey("keywordBlacklistKey");
  EXPECT_EQ(*stored, PropertyList(PropertyListArray{"kept", 42}));
}

TEST(Quellrules, ExportThenImportRestoresEveryList) {
  testing::ScopedDataHome home;
  ASSERT_TRUE(RuleStore::writeLists({{RuleListKind::NumberWhitelist, {"10086"}},
                                     {RuleListKind::KeywordWhitelist, {"验证码", "验证码"}},
                                     {RuleListKind::KeywordBlacklist, {"退订", "a\"b\\c"}}}));
  testing::TemporaryDirectory dir;
  auto file = (dir.path() / "backup.json").string();
  ASSERT_EQ(rules({"export", file}).exitCode, 0);
  auto backup = nlohmann::json::parse(std::ifstream(file));
  EXPECT_EQ(backup["numberWhitelistKey"], nlohmann::json({"10086"}));  // no built-in numbers
  EXPECT_EQ(backup["numberBlacklistKey"], nlohmann::json::array());

  ASSERT_TRUE(RuleStore::writeLists({{RuleListKind::KeywordBlacklist, {}}, {RuleListKind::NumberWhitelist, {}}}));
  ASSERT_EQ(rules({"import", file}).exitCode, 0);
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordBlacklist), (std::vector<std::string>{"退订", "a\"b\\c"}));
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordWhitelist), (std::vector<std::string>{"验证码", "验证码"}));
  EXPECT_EQ(RuleStore::storedList(RuleListKind::NumberWhitelist), (std::vector<std::string>{"10086"}));
}

TEST(Quellrules, InvalidImportLeavesTheStoreAsItWas) {
  testing::ScopedDataHome home;
  ASSERT_TRUE(RuleStore::writeLists({{RuleListKind::KeywordBlacklist, {"退订"}},
                                     {RuleListKind::NumberBlacklist, {"1069"}}}));
  // Each backup is valid up to a fault late in the file, so a partial import would show.
  for (std::string bad : {
           R"({"keywordBlacklistKey": ["x"], "numberBlacklistKey": ["2", 3]})",
           R"({"keywordBlacklistKey": ["x"], "unknownKey": []})",
           R"({"keywordBlacklistKey": ["x"], "numberBlacklistKey": "2"})",
           R"({"keywordBlacklistKey": ["x"], "numberBlacklistKey": [""]})",
           R"(["keywordBlacklistKey"])",
           "{\"keywordBlacklistKey\": [\"\xff\"]}",
           R"({"keywordBlacklistKey": ["x"])",
       }) {
    auto result = rules({"import", "-"}, bad);
    EXPECT_NE(result.exitCode, 0) << bad;
    EXPECT_NE(result.err.find("nothing imported"), std::string::npos) << bad;
  }
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordBlacklist), std::vector<std::string>{"退订"});
  EXPECT_EQ(RuleStore::storedList(RuleListKind::NumberBlacklist), std::vector<std::string>{"1069"});
  EXPECT_NE(rules({"import", "/nonexistent/file"}).exitCode, 0);
}

}  // namespace
}  // namespace quell
