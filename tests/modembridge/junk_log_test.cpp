// The junk log, and quelllog reading it, as a person uses them after the bridge held messages back.
#include "modembridge/junk_log.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>

#include "engine/rule_store.h"
#include "tests/support/test_environment.h"

namespace quell {
namespace {

using nlohmann::json;

JunkMessage junk(const std::string& sender, const std::string& body) {
  return {"2026-12-07T10:00:00+08:00", "/org/freedesktop/ModemManager1/Modem/0", sender, body,
          junkReasons(decideMessage(sender, body))};
}

TEST(JunkLog, KeepsEachMessageWithItsReasonsOldestFirst) {
  testing::ScopedDataHome home;
  ASSERT_TRUE(RuleStore::writeLists({{RuleListKind::KeywordBlacklist, {"退订", "TD"}}}));
  auto log = JunkLog::open(JunkLog::defaultPath());
  ASSERT_TRUE(log) << log.message();
  auto first = (*log)->record(junk("10690000", "回TD退订"));
  auto second = (*log)->record(junk("10690001", "【某某贷】无抵押信用贷款，最快当天放款，额度高利息低"));
  ASSERT_TRUE(first && second);
  ASSERT_TRUE((*log)->markDeleted(*first));
  auto entries = (*log)->entries();
  ASSERT_TRUE(entries);
  ASSERT_EQ(entries->size(), 2u);
  const JunkEntry& list = (*entries)[0];
  EXPECT_EQ(list.id, *first);
  EXPECT_EQ(list.message.sender, "10690000");
  EXPECT_EQ(list.message.reasons["stage"], "keyword-blacklist");
  EXPECT_EQ(list.message.reasons["matched"], (nlohmann::ordered_json{"退订", "TD"}));
  EXPECT_TRUE(list.deleted);
  EXPECT_EQ(list.logged.size(), 20u);
  const JunkEntry& model = (*entries)[1];
  EXPECT_EQ(model.message.reasons["stage"], "model");
  EXPECT_TRUE(model.message.reasons["score"].is_number());
  EXPECT_FALSE(model.deleted);
  auto missing = (*log)->entry(*second + 100);
  ASSERT_TRUE(missing);
  EXPECT_FALSE(*missing);
}

TEST(JunkLog, StaysWithinItsAgeAndCount) {
  testing::ScopedDataHome home;
  const auto path = JunkLog::defaultPath();
  {
    auto log = JunkLog::open(path);
    ASSERT_TRUE(log);
  }
  // An entry from long ago, as a log left for months would hold it.
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(raw,
                         "INSERT INTO junk(logged, received, modem, sender, body, reasons) VALUES("
                         "'2000-01-01T00:00:00Z', '', '', 'old', 'old', '{}')",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(raw);
  auto log = JunkLog::open(path, {std::chrono::hours(24 * 90), 3});
  for (int i = 0; i < 5; ++i) ASSERT_TRUE((*log)->record(junk("1069000" + std::to_string(i), "回TD退订")));
  auto entries = (*log)->entries();
  ASSERT_EQ(entries->size(), 3u);
  EXPECT_EQ((*entries)[0].message.sender, "10690002");  // the newest three
  EXPECT_EQ((*entries)[2].message.sender, "10690004");
}

TEST(JunkLog, AFileThatIsNotADatabaseIsRefused) {
  testing::TemporaryDirectory dir;
  std::ofstream(dir.path() / "junk-log.sqlite") << std::string(4096, 'x');
  auto log = JunkLog::open(dir.path() / "junk-log.sqlite");
  ASSERT_FALSE(log);
  EXPECT_EQ(log.code(), StoreError::kCannotOpen);
}

class Quelllog : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(RuleStore::writeLists({{RuleListKind::KeywordBlacklist, {"退订"}}}));
    auto log = JunkLog::open(JunkLog::defaultPath());
    ASSERT_TRUE(log);
    ASSERT_TRUE((*log)->record(junk("10690000", "回复退订")));
    // A hostile body: markup, a line break, a bidirectional override, an escape sequence.
    ASSERT_TRUE((*log)->record(junk("95500", "退订<b>\n\u202E\x1b[2J")));
  }
  testing::ProcessResult run(std::vector<std::string> args) { return testing::runProcess(QUELLLOG_PATH, args); }
  testing::ScopedDataHome home_;
};

TEST_F(Quelllog, ListsShowsAndExportsEveryEntry) {
  auto listed = run({"list", "--json"});
  ASSERT_EQ(listed.exitCode, 0) << listed.err;
  auto lines = testing::splitLines(listed.out);
  ASSERT_EQ(lines.size(), 2u);
  json first = json::parse(lines[0]);
  for (const char* member : {"id", "received", "sender", "body", "stage", "matched", "deleted"})
    EXPECT_TRUE(first.contains(member)) << member;
  EXPECT_EQ(first["sender"], "10690000");
  EXPECT_EQ(first["stage"], "keyword-blacklist");
  EXPECT_EQ(first["matched"], json::array({"退订"}));
  EXPECT_EQ(json::parse(lines[1])["body"], "退订<b>\n\u202E\x1b[2J");  // whole in JSON

  // For a person, one row per entry, with the hostile characters escaped.
  auto rows = testing::splitLines(run({"list"}).out);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_NE(rows[1].find("退订<b>\\n\\u{202E}\\u{001B}[2J"), std::string::npos) << rows[1];
  auto shown = run({"show", std::to_string(first["id"].get<int>())});
  EXPECT_EQ(shown.exitCode, 0);
  EXPECT_NE(shown.out.find("sender    10690000"), std::string::npos) << shown.out;

  testing::TemporaryDirectory dir;
  EXPECT_EQ(run({"export", (dir.path() / "junk.jsonl").string()}).exitCode, 0);
  std::ifstream exported(dir.path() / "junk.jsonl");
  std::string text((std::istreambuf_iterator<char>(exported)), {});
  EXPECT_EQ(text, listed.out);
}

TEST_F(Quelllog, NotJunkWhitelistsTheSenderSoItsNextMessageIsHam) {
  auto judge = [] {
    return testing::runProcess(QUELLGUARD_PATH, {"--sender", "10690000", "--body", "回复退订"}, "",
                               {{"QUELL_LOG", "stderr"}})
        .out;
  };
  ASSERT_EQ(judge(), "junk\n");
  auto first = json::parse(testing::splitLines(run({"list", "--json"}).out)[0]);
  auto taken = run({"not-junk", std::to_string(first["id"].get<int>())});
  ASSERT_EQ(taken.exitCode, 0) << taken.err;
  EXPECT_EQ(judge(), "none\n");
  auto whitelist = RuleStore::storedList(RuleListKind::NumberWhitelist);
  EXPECT_EQ(std::count(whitelist.begin(), whitelist.end(), "10690000"), 1);
  EXPECT_TRUE(json::parse(testing::splitLines(run({"list", "--json"}).out)[0])["notJunk"].get<bool>());
  // Again: the sender is not added twice.
  EXPECT_EQ(run({"not-junk", std::to_string(first["id"].get<int>())}).exitCode, 0);
  whitelist = RuleStore::storedList(RuleListKind::NumberWhitelist);
  EXPECT_EQ(std::count(whitelist.begin(), whitelist.end(), "10690000"), 1);
}

TEST_F(Quelllog, RefusesUnknownOrMalformedIdsAndClears) {
  for (const char* bad : {"999", "0", "-1", "1x", ""}) {
    auto result = run({"show", bad});
    EXPECT_EQ(result.exitCode, 1) << bad;
    EXPECT_FALSE(result.err.empty());
    EXPECT_EQ(run({"not-junk", bad}).exitCode, 1) << bad;
  }
  EXPECT_EQ(run({"bogus"}).exitCode, 2);
  EXPECT_EQ(run({"clear"}).exitCode, 0);
  EXPECT_EQ(run({"list"}).out, "");
}

}  // namespace
}  // namespace quell
