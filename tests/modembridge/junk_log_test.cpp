// The junk log, and quelllog reading it, as a person uses them after the bridge held messages back.
#include "modembridge/junk_log.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>

#include "engine/rule_store.h"
#include "modembridge/sms_ledger.h"
#include "tests/support/test_environment.h"

namespace quell {
namespace {

using nlohmann::json;

std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

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
  auto entries = (*log)->entries();
  ASSERT_TRUE(entries);
  ASSERT_EQ(entries->size(), 2u);
  const JunkEntry& list = (*entries)[0];
  EXPECT_EQ(list.id, *first);
  EXPECT_EQ(list.message.sender, "10690000");
  EXPECT_EQ(list.message.reasons["stage"], "keyword-blacklist");
  EXPECT_EQ(list.message.reasons["matched"], (nlohmann::ordered_json{"退订", "TD"}));
  EXPECT_FALSE(list.pending);
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

// What the companion app's junk-log page uses: pages newest first, search, read and removed entries.
TEST(JunkLog, PagesSearchesMarksAndRemovesEntries) {
  testing::ScopedDataHome home;
  auto log = JunkLog::open(JunkLog::defaultPath());
  ASSERT_TRUE(log);
  std::vector<std::int64_t> ids;
  for (const char* body : {"回复退订 1", "50%_off 2", "回复退订 3", "贷款 4"})
    ids.push_back(*(*log)->record(junk("10690000", body)));
  auto page = (*log)->entries(JunkQuery{0, 2, ""});
  ASSERT_TRUE(page);
  ASSERT_EQ(page->size(), 2u);
  EXPECT_EQ((*page)[0].id, ids[3]);
  EXPECT_EQ((*page)[1].id, ids[2]);
  page = (*log)->entries(JunkQuery{ids[2], 10, ""});
  ASSERT_EQ(page->size(), 2u);
  EXPECT_EQ((*page)[0].id, ids[1]);
  // The search text is taken as typed: % and _ are no patterns.
  page = (*log)->entries(JunkQuery{0, 10, "%_"});
  ASSERT_EQ(page->size(), 1u);
  EXPECT_EQ((*page)[0].id, ids[1]);
  EXPECT_EQ((*log)->entries(JunkQuery{0, 10, "退订"})->size(), 2u);
  ASSERT_TRUE((*log)->markRead(ids[0]));
  ASSERT_TRUE((*log)->remove(ids[1]));
  ASSERT_TRUE((*log)->markRead(12345));  // no such entry: nothing happens
  auto all = (*log)->entries();
  ASSERT_EQ(all->size(), 3u);
  EXPECT_TRUE((*all)[0].read);
  EXPECT_FALSE((*all)[1].read);
}

// What the app's junk page shows over it: counts (with the search), what came since it was last looked at,
// the entries newer than the ones shown, and all of them read at once.
TEST(JunkLog, CountsWhatIsNewSinceItWasSeenAndMarksAllRead) {
  testing::ScopedDataHome home;
  auto log = JunkLog::open(JunkLog::defaultPath());
  ASSERT_TRUE(log);
  std::vector<std::int64_t> ids;
  for (const char* body : {"回复退订 1", "贷款 2", "回复退订 3"})
    ids.push_back(*(*log)->record(junk("10690000", body)));
  EXPECT_EQ(*(*log)->count(), 3);
  EXPECT_EQ(*(*log)->count("退订"), 2);
  EXPECT_EQ(*(*log)->count("%"), 0);
  EXPECT_EQ(*(*log)->unseenCount(), 3);  // never looked at
  auto newer = (*log)->entries(JunkQuery{0, 10, "", ids[0]});
  ASSERT_EQ(newer->size(), 2u);
  EXPECT_EQ((*newer)[0].id, ids[2]);
  EXPECT_EQ((*log)->entries(JunkQuery{ids[2], 10, "退订", ids[0]})->size(), 0u);

  ASSERT_TRUE((*log)->markSeen());
  EXPECT_EQ(*(*log)->unseenCount(), 0);
  ids.push_back(*(*log)->record(junk("10690001", "回复退订 4")));
  EXPECT_EQ(*(*log)->unseenCount(), 1);
  // Removing the newest does not make older entries new again; what comes after a clear is new.
  ASSERT_TRUE((*log)->markSeen());
  ASSERT_TRUE((*log)->remove(ids[3]));
  ASSERT_TRUE((*log)->markSeen());
  EXPECT_EQ(*(*log)->unseenCount(), 0);
  ASSERT_TRUE((*log)->clear());
  ASSERT_TRUE((*log)->record(junk("10690002", "回复退订 5")));
  EXPECT_EQ(*(*log)->unseenCount(), 1);

  ASSERT_TRUE((*log)->record(junk("10690003", "回复退订 6")));
  ASSERT_TRUE((*log)->markAllRead());
  auto marked = (*log)->entries();
  for (const auto& entry : *marked) EXPECT_TRUE(entry.read) << entry.id;
  // Another reader of the same file sees the same marks.
  auto other = JunkLog::openForReading(JunkLog::defaultPath());
  ASSERT_TRUE(other);
  EXPECT_EQ(*(*other)->unseenCount(), 2);
  EXPECT_TRUE((*(*other)->entries())[0].read);
}

// Taking a message back changes the whitelist only when it can be read, and the entry only when the
// whitelist was changed; a log held by another writer marks nothing but says that the sender is on it.
TEST(JunkLog, WhitelistingASenderChangesNothingItCannotStore) {
  testing::ScopedDataHome home;
  auto log = JunkLog::open(JunkLog::defaultPath());
  ASSERT_TRUE(log);
  const std::int64_t id = *(*log)->record(junk("10690000", "回复退订"));
  const std::int64_t anonymous = *(*log)->record(junk("", "回复退订"));
  const std::string damaged("a\x02\x00\x00\x00s\x02\x00\x00\x00ok\x7f", 13);
  testing::storeRawSetting(AppGroupIdentifier, "numberWhitelistKey", damaged);
  auto refused = whitelistSender(**log, id);
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.code(), StoreError::kUnreadable);
  EXPECT_FALSE((*(*log)->entry(id))->notJunk);
  EXPECT_EQ(testing::rawSetting(AppGroupIdentifier, "numberWhitelistKey"), damaged);

  ASSERT_TRUE(RuleStore::writeList(RuleListKind::NumberWhitelist, {"10086"}));
  EXPECT_EQ(whitelistSender(**log, anonymous).code(), StoreError::kInvalidValue);
  EXPECT_EQ(whitelistSender(**log, id + 100).code(), StoreError::kInvalidValue);
  {
    testing::StoreWriteLock lock(JunkLog::defaultPath());
    auto busy = whitelistSender(**log, id);
    ASSERT_FALSE(busy);
    EXPECT_EQ(busy.code(), StoreError::kBusy);
    EXPECT_NE(busy.message().find("the sender is whitelisted"), std::string::npos) << busy.message();
    EXPECT_EQ((*log)->markAllRead().code(), StoreError::kBusy);
  }
  EXPECT_FALSE((*(*log)->entry(id))->notJunk);
  EXPECT_FALSE((*(*log)->entry(id))->read);
  auto taken = whitelistSender(**log, id);  // again, once the log is free: the sender is not added twice
  ASSERT_TRUE(taken) << taken.message();
  EXPECT_EQ(*taken, "10690000");
  EXPECT_TRUE((*(*log)->entry(id))->notJunk);
  EXPECT_EQ(RuleStore::storedList(RuleListKind::NumberWhitelist), (std::vector<std::string>{"10086", "10690000"}));
}

// An SMS the bridge has not finished with keeps its entry, however small the log, and shows why it waits.
TEST(SmsLedger, APendingEntryIsShownWithItsReasonAndNeverPruned) {
  testing::ScopedDataHome home;
  auto log = JunkLog::open(JunkLog::defaultPath(), {std::chrono::hours(24), 1});
  ASSERT_TRUE(log);
  SmsLedger ledger(**log);
  SmsRecord pending;
  pending.fingerprint = "f1";
  pending.verdict = SmsVerdict::kJunk;
  pending.sender = "10690000";
  pending.body = "回复退订";
  pending.reasons = junkReasons(decideMessage("10690000", "回复退订"));
  pending.waiting = "the modem did not delete it (Not authorized)";
  ASSERT_TRUE(ledger.save({&pending}));
  ASSERT_GT(pending.entry, 0);
  for (int i = 0; i < 3; ++i) ASSERT_TRUE((*log)->record(junk("1069000" + std::to_string(i), "回复退订")));
  auto entries = (*log)->entries();
  ASSERT_EQ(entries->size(), 2u);  // the pending one, and the newest
  EXPECT_EQ((*entries)[0].id, pending.entry);
  EXPECT_EQ((*entries)[0].pending, "the modem did not delete it (Not authorized)");
  EXPECT_EQ(junkEntryJson((*entries)[0])["pending"], "the modem did not delete it (Not authorized)");
  // Deleted and announced: the entry is no longer pending, the message is forgotten, and the text of a
  // finished message is not kept beside its entry.
  pending.deleted = true;
  pending.step = SmsStep::kDone;
  ASSERT_TRUE(ledger.save({&pending}));
  auto entry = (*log)->entry(pending.entry);
  ASSERT_TRUE(entry && *entry);
  EXPECT_TRUE((*entry)->deleted);
  EXPECT_FALSE((*entry)->pending);
  EXPECT_TRUE(ledger.withFingerprint("f1")->empty());
}

// Identical messages are numbered; a save that fails assigns nothing, so it can be tried again whole.
TEST(SmsLedger, TwinsAreNumberedAndAFailedSaveChangesNothing) {
  testing::ScopedDataHome home;
  auto log = JunkLog::open(JunkLog::defaultPath());
  ASSERT_TRUE(log);
  SmsLedger ledger(**log);
  SmsRecord first, second;
  first.fingerprint = second.fingerprint = "same";
  first.step = second.step = SmsStep::kDone;
  ASSERT_TRUE(ledger.save({&first, &second}));
  EXPECT_EQ(first.occurrence, 1);
  EXPECT_EQ(second.occurrence, 2);
  SmsRecord third;
  third.fingerprint = "other";
  third.verdict = SmsVerdict::kJunk;
  {
    testing::StoreWriteLock lock(JunkLog::defaultPath());
    auto saved = ledger.save({&third});
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.code(), StoreError::kBusy);
  }
  EXPECT_EQ(third.id, 0);
  EXPECT_EQ(third.entry, 0);
  EXPECT_TRUE((*log)->entries()->empty());
  ASSERT_TRUE(ledger.save({&third}));
  EXPECT_EQ((*log)->entries()->size(), 1u);
}

// A log written by the earlier bridge: its entries stay, and what it judged stays judged.
TEST(SmsLedger, ALogOfTheEarlierVersionKeepsWhatItJudged) {
  testing::ScopedDataHome home;
  const auto path = JunkLog::defaultPath();
  std::filesystem::create_directories(path.parent_path());
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(raw,
                         "CREATE TABLE junk(id INTEGER PRIMARY KEY AUTOINCREMENT, logged TEXT NOT NULL,"
                         " received TEXT NOT NULL, modem TEXT NOT NULL, sender TEXT NOT NULL, body TEXT NOT NULL,"
                         " reasons TEXT NOT NULL, deleted INTEGER NOT NULL DEFAULT 0, not_junk INTEGER NOT NULL"
                         " DEFAULT 0);"
                         "CREATE TABLE judged(fingerprint TEXT PRIMARY KEY, judged TEXT NOT NULL);"
                         "INSERT INTO junk(logged, received, modem, sender, body, reasons, deleted) VALUES("
                         "strftime('%Y-%m-%dT%H:%M:%SZ', 'now'), '', '', 'old', 'old', '{}', 1);"
                         "INSERT INTO judged VALUES('recent', strftime('%Y-%m-%dT%H:%M:%SZ', 'now'));"
                         "INSERT INTO judged VALUES('ancient', '2000-01-01T00:00:00Z');",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(raw);
  // Before the bridge brings it up to date, a reader is told so rather than shown nothing.
  EXPECT_FALSE(JunkLog::openForReading(path));
  auto log = JunkLog::open(path);
  ASSERT_TRUE(log) << log.message();
  auto entries = (*log)->entries();
  ASSERT_EQ(entries->size(), 1u);
  EXPECT_TRUE((*entries)[0].deleted);
  EXPECT_FALSE((*entries)[0].read);
  SmsLedger ledger(**log);
  auto recent = ledger.withFingerprint("recent");
  ASSERT_EQ(recent->size(), 1u);
  EXPECT_EQ((*recent)[0].step, SmsStep::kDone);
  EXPECT_TRUE(ledger.withFingerprint("ancient")->empty());
  EXPECT_TRUE(JunkLog::openForReading(path));
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

// Output that cannot be written is a failure, and a failed export leaves the previous one as it was.
TEST_F(Quelllog, AFailedWriteIsNoSuccess) {
  for (const char* command : {"list", "list --json", "show 1", "export"}) {
    auto result =
        testing::runProcess("/bin/sh", {"-c", std::string("exec ") + QUELLLOG_PATH + " " + command + " > /dev/full"});
    EXPECT_EQ(result.exitCode, 1) << command;
    EXPECT_NE(result.err.find("cannot write"), std::string::npos) << command << result.err;
  }
  testing::TemporaryDirectory dir;
  const std::string backup = (dir.path() / "junk.jsonl").string();
  std::ofstream(backup) << "the previous backup\n";
  // A file size limit of one block: the export cannot be written whole.
  auto result = testing::runProcess(
      "/bin/sh", {"-c", std::string("trap '' XFSZ; ulimit -f 1; exec ") + QUELLLOG_PATH + " export " + backup});
  EXPECT_NE(result.exitCode, 0);
  EXPECT_EQ(readAll(backup), "the previous backup\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);  // no temporary left
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
  // Reading where no log was ever kept shows an empty log and leaves no file behind: the app tells "the
  // bridge has not run" by the log's absence.
  ASSERT_TRUE(std::filesystem::remove(JunkLog::defaultPath()));
  for (const char* reading : {"list", "export"}) {
    auto result = run({reading});
    EXPECT_EQ(result.exitCode, 0) << reading << result.err;
    EXPECT_EQ(result.out, "") << reading;
  }
  EXPECT_EQ(run({"show", "1"}).exitCode, 1);
  EXPECT_FALSE(std::filesystem::exists(JunkLog::defaultPath()));
}

}  // namespace
}  // namespace quell
