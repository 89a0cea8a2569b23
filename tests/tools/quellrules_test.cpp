#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

#include "engine/rule_store.h"
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
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordBlacklist), (std::vector<std::string>{"退订", "贷款", "退订"}));
  EXPECT_EQ(rules({"delete", "keyword-blacklist", "1"}).exitCode, 0);
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordBlacklist), (std::vector<std::string>{"退订", "退订"}));

  for (const char* blank : {"", " ", "\n\t", "\xe3\x80\x80"}) {  // a blank entry would match nearly every message
    auto refused = rules({"add", "keyword-blacklist", blank});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("blank"), std::string::npos) << refused.err;
  }
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

// A backup or a listing that was not written whole is a failure, and a failed export keeps the old backup.
TEST(Quellrules, AnExportThatCannotBeWrittenFailsAndKeepsTheOldBackup) {
  testing::ScopedDataHome home;
  testing::TemporaryDirectory dir;
  ASSERT_EQ(rules({"add", "keyword-blacklist", "退订"}).exitCode, 0);
  const auto backup = dir.path() / "rules.json";
  ASSERT_EQ(rules({"export", backup.string()}).exitCode, 0);
  const std::string saved = testing::fileContents(backup);
  ASSERT_NE(saved.find("退订"), std::string::npos);

  // A disk that takes no more bytes (a file size limit of 0, which binds root too): the old backup stays
  // whole, and nothing is left beside it.
  auto refused = testing::runProcess(
      "/bin/sh", {"-c", "trap '' XFSZ; ulimit -f 0; exec \"$0\" export \"$1\"", QUELLRULES_PATH, backup.string()});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.err.find("cannot write"), std::string::npos) << refused.err;
  EXPECT_EQ(testing::fileContents(backup), saved);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

  for (const char* command : {"list", "export"}) {
    auto full = testing::runProcess("/bin/sh", {"-c", std::string(QUELLRULES_PATH) + " " + command + " > /dev/full"});
    EXPECT_EQ(full.exitCode, 1) << command;
    EXPECT_NE(full.err.find("cannot write"), std::string::npos) << full.err;
  }
}

TEST(Quellrules, LeavesUndecodableDataAloneUntilImportOrReset) {
  testing::ScopedDataHome home;
  const std::string damaged = std::string("a\x02\x00\x00\x00s\x02\x00\x00\x00", 10) + "ok" + "\x7f";
  testing::storeRawSetting(AppGroupIdentifier, "keywordBlacklistKey", damaged);
  for (const auto& edit :
       std::vector<std::vector<std::string>>{{"add", "keyword-blacklist", "x"}, {"delete", "keyword-blacklist", "0"}}) {
    auto result = rules(edit);
    EXPECT_EQ(result.exitCode, 1) << edit[0];
    EXPECT_NE(result.err.find("cannot be read"), std::string::npos) << result.err;
    EXPECT_EQ(testing::rawSetting(AppGroupIdentifier, "keywordBlacklistKey"), damaged) << edit[0];
  }
  EXPECT_NE(rules({"list"}).out.find("关键词黑名单 (keyword-blacklist) [unreadable"), std::string::npos);
  // The filter's own reading keeps its fallback: the list reads as empty.
  EXPECT_TRUE(RuleStore::storedList(RuleListKind::KeywordBlacklist).empty());

  EXPECT_EQ(rules({"import", "-"}, R"({"keywordBlacklistKey": ["贷款"]})").exitCode, 0);
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordBlacklist), std::vector<std::string>{"贷款"});
  testing::storeRawSetting(AppGroupIdentifier, "keywordBlacklistKey", damaged);
  EXPECT_EQ(rules({"reset"}).exitCode, 0);
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordBlacklist), DefaultRuleLists(RuleListKind::KeywordBlacklist));
}

TEST(Quellrules, ACraftedValueCostsMemoryInProportionToItsSize) {
  testing::ScopedDataHome home;
  // A megabyte value of nested arrays, each claiming as many items as the bytes after it could hold, around
  // a real run of Booleans that ends too soon.
  std::string value;
  const std::size_t size = 1 << 20, levels = 60;
  for (std::size_t level = 0; level <= levels; ++level) {
    const auto claimed = static_cast<std::uint32_t>((size - value.size() - 5) / 2);
    value += 'a';
    for (int i = 0; i < 4; ++i) value += static_cast<char>((claimed >> (8 * i)) & 0xff);
  }
  while (value.size() + 2 <= size) value += std::string("b\x01", 2);
  ASSERT_TRUE(RuleStore::writeList(RuleListKind::KeywordBlacklist, {"退订"}));
  testing::storeRawSetting(AppGroupIdentifier, "numberBlacklistKey", value);

  const std::map<std::string, std::string> env = {{"ASAN_OPTIONS", testing::measurableAsanOptions()}};
  auto listing = runProcess(QUELLRULES_PATH, {"list"}, "", env);
  EXPECT_EQ(listing.exitCode, 0) << listing.err;
  EXPECT_NE(listing.out.find("号码黑名单 (number-blacklist) [unreadable"), std::string::npos);
  EXPECT_LT(listing.peakMemoryKb, 160 * 1024);
  auto verdict = runProcess(QUELLGUARD_PATH, {"--sender", "10690000", "--body", "回复退订"}, "", env);
  EXPECT_EQ(verdict.out, "junk\n");  // the unreadable list reads as empty; the keyword blacklist decides
  EXPECT_LT(verdict.peakMemoryKb, 160 * 1024);
}

TEST(Quellrules, ListShowsEachEntryOnOneRow) {
  testing::ScopedDataHome home;
  ASSERT_EQ(rules({"import", "-"},
                  R"({"keywordBlacklistKey": ["a\n  1\tforged", "b\tc\r", "\u202eevil", "back\\slash", "\u0000z"]})")
                .exitCode,
            0);
  auto listing = rules({"list"}).out;
  auto rows = testing::splitLines(listing.substr(listing.find("(keyword-blacklist)")));
  ASSERT_GE(rows.size(), 6u);
  EXPECT_EQ(rows[1], "  0\ta\\n  1\\tforged");
  EXPECT_EQ(rows[2], "  1\tb\\tc\\r");
  EXPECT_EQ(rows[3], "  2\t\\u{202E}evil");
  EXPECT_EQ(rows[4], "  3\tback\\\\slash");
  EXPECT_EQ(rows[5], "  4\t\\u{0000}z");
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
  ASSERT_TRUE(
      RuleStore::writeLists({{RuleListKind::KeywordBlacklist, {"退订"}}, {RuleListKind::NumberBlacklist, {"1069"}}}));
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
