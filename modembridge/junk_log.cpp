#include "modembridge/junk_log.h"

#include <cstdlib>
#include <ctime>
#include <functional>

#include "engine/decision_description.h"
#include "modembridge/sms_ledger.h"
#include "platform/data_home.h"

namespace quell {

namespace {

// The time that many seconds ago, in UTC, "YYYY-MM-DDTHH:MM:SSZ": text that sorts as the times do.
std::string utcSecondsAgo(std::int64_t seconds) {
  std::time_t then = std::time(nullptr) - static_cast<std::time_t>(seconds);
  std::tm tm{};
  gmtime_r(&then, &tm);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &tm);
  return text;
}

constexpr std::chrono::seconds kBusyTimeout(2);

// The entry's columns, and whether the bridge is still at work on its message (and why), from its
// progress row.
constexpr const char* kColumns =
    "junk.id, logged, junk.received, junk.modem, junk.sender, junk.body, reasons, junk.deleted, not_junk, read, "
    "sms.step, sms.waiting FROM junk LEFT JOIN sms ON sms.entry = junk.id AND sms.step < 3";

// The junk table as every version made it, and what later versions added.
constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS junk(id INTEGER PRIMARY KEY AUTOINCREMENT, logged TEXT NOT NULL,"
    " received TEXT NOT NULL, modem TEXT NOT NULL, sender TEXT NOT NULL, body TEXT NOT NULL,"
    " reasons TEXT NOT NULL, deleted INTEGER NOT NULL DEFAULT 0, not_junk INTEGER NOT NULL DEFAULT 0);"
    "CREATE INDEX IF NOT EXISTS junk_logged ON junk(logged)";

}  // namespace

std::filesystem::path JunkLog::defaultPath() {
  const char* chosen = std::getenv("QUELL_JUNK_LOG");
  if (chosen && *chosen) return chosen;
  return userDataHome() / "quell" / "junk-log.sqlite";
}

Result<std::unique_ptr<JunkLog>, StoreError> JunkLog::open(const std::filesystem::path& file, JunkLogLimits limits) {
  // Durable: quelllog reads while the bridge writes, and every commit is on disk before it returns.
  auto db = SqliteDatabase::openDurable(file, kBusyTimeout);
  if (!db) return db.failure();
  std::unique_ptr<JunkLog> log(new JunkLog(std::move(*db), limits));
  SqliteTransaction transaction(log->db_);
  auto setup = transaction.begun();
  if (setup) setup = log->db_.execute(kSchema, StoreError::kCannotOpen);
  // The "read" column came later; a log without it gains it.
  if (setup && !log->db_.prepare("SELECT read FROM junk LIMIT 0"))
    setup = log->db_.execute("ALTER TABLE junk ADD COLUMN read INTEGER NOT NULL DEFAULT 0", StoreError::kCannotOpen);
  if (setup) setup = SmsLedger::createTables(log->db_, limits.maxAge);
  if (setup) setup = transaction.commit();
  if (!setup) return Failure<StoreError>{setup.code(), file.string() + " is not a usable junk log: " + setup.message()};
  return log;
}

Result<std::unique_ptr<JunkLog>, StoreError> JunkLog::openForReading(const std::filesystem::path& file) {
  auto db = SqliteDatabase::openForReading(file, kBusyTimeout);
  if (!db) return db.failure();
  std::unique_ptr<JunkLog> log(new JunkLog(std::move(*db), {}));
  // A log of an earlier version lacks what the list shows; the bridge's next start brings it up to date.
  if (!log->db_.prepare("SELECT read FROM junk, sms LIMIT 0"))
    return Failure<StoreError>{StoreError::kCannotOpen,
                               file.string() + " is not a junk log of this version (quellmodem brings it up to date)"};
  return log;
}

Result<std::int64_t, StoreError> JunkLog::record(const JunkMessage& message) {
  SqliteTransaction transaction(db_);
  if (!transaction.begun()) return transaction.begun().failure();
  auto id = insert(message);
  if (!id) return id;
  if (auto committed = transaction.commit(); !committed) return committed.failure();
  return id;
}

Result<std::int64_t, StoreError> JunkLog::insert(const JunkMessage& message) {
  auto insert = db_.prepare(
      "INSERT INTO junk(logged, received, modem, sender, body, reasons) VALUES(?1, ?2, ?3, ?4, ?5, ?6) RETURNING id");
  if (!insert) return insert.failure();
  insert->bindText(1, utcSecondsAgo(0));
  insert->bindText(2, message.received);
  insert->bindText(3, message.modem);
  insert->bindText(4, message.sender);
  insert->bindText(5, message.body);
  insert->bindText(6, message.reasons.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace));
  auto row = insert->nextRow(StoreError::kWriteFailed);
  if (!row) return row.failure();
  if (!*row) return Failure<StoreError>{StoreError::kWriteFailed, "the new entry has no id"};
  const std::int64_t id = insert->columnInt64(0);
  if (auto done = insert->run(); !done) return done.failure();
  if (auto pruned = prune(); !pruned) return pruned.failure();
  return id;
}

Status<StoreError> JunkLog::prune() {
  // Nothing older than the maximum age and only the newest entries up to the maximum count, both found
  // through an index (logged, and the id), never by reading the whole table; pending entries stay.
  auto prune = db_.prepare(
      "DELETE FROM junk WHERE (logged < ?1 OR id <= (SELECT id FROM junk ORDER BY id DESC LIMIT 1 OFFSET ?2))"
      " AND id NOT IN (SELECT entry FROM sms WHERE step < 3 AND entry IS NOT NULL)");
  if (!prune) return prune.status();
  prune->bindText(1, utcSecondsAgo(std::chrono::duration_cast<std::chrono::seconds>(limits_.maxAge).count()));
  prune->bindInt64(2, std::max<std::int64_t>(limits_.maxEntries, 1));
  return prune->run();
}

Status<StoreError> JunkLog::setFlag(const char* column, std::int64_t id) {
  auto update = db_.prepare(std::string("UPDATE junk SET ") + column + " = 1 WHERE id = ?1");
  if (!update) return update.status();
  update->bindInt64(1, id);
  return update->run();
}

Status<StoreError> JunkLog::markNotJunk(std::int64_t id) { return setFlag("not_junk", id); }
Status<StoreError> JunkLog::markRead(std::int64_t id) { return setFlag("read", id); }

Status<StoreError> JunkLog::remove(std::int64_t id) {
  auto remove = db_.prepare("DELETE FROM junk WHERE id = ?1");
  if (!remove) return remove.status();
  remove->bindInt64(1, id);
  return remove->run();
}

Status<StoreError> JunkLog::clear() { return db_.execute("DELETE FROM junk"); }

Result<std::vector<JunkEntry>, StoreError> JunkLog::select(const std::string& where, const std::string& order,
                                                           const std::function<void(SqliteStatement&)>& bind) {
  auto query = db_.prepare(std::string("SELECT ") + kColumns + " " + where + " ORDER BY junk.id " + order);
  if (!query) return query.failure();
  bind(*query);
  std::vector<JunkEntry> found;
  for (;;) {
    auto row = query->nextRow();
    if (!row) return row.failure();
    if (!*row) break;
    JunkEntry entry;
    entry.id = query->columnInt64(0);
    entry.logged = query->columnText(1);
    entry.message.received = query->columnText(2);
    entry.message.modem = query->columnText(3);
    entry.message.sender = query->columnText(4);
    entry.message.body = query->columnText(5);
    auto reasons = nlohmann::ordered_json::parse(query->columnText(6), nullptr, false);
    if (reasons.is_object()) entry.message.reasons = std::move(reasons);
    entry.deleted = query->columnInt64(7) != 0;
    entry.notJunk = query->columnInt64(8) != 0;
    entry.read = query->columnInt64(9) != 0;
    if (!query->columnIsNull(10))
      entry.pending = SmsLedger::pendingReason(static_cast<int>(query->columnInt64(10)), query->columnText(11));
    found.push_back(std::move(entry));
  }
  return found;
}

Result<std::vector<JunkEntry>, StoreError> JunkLog::entries() {
  return select("", "ASC", [](SqliteStatement&) {});
}

Result<std::vector<JunkEntry>, StoreError> JunkLog::entries(const JunkQuery& query) {
  // instr() finds the text as typed; LIKE would treat % and _ in it as patterns.
  return select(
      "WHERE (?1 = 0 OR junk.id < ?1) AND (?2 = '' OR instr(junk.sender, ?2) > 0 OR instr(junk.body, ?2) > 0)",
      "DESC LIMIT ?3", [&](SqliteStatement& statement) {
        statement.bindInt64(1, query.before);
        statement.bindText(2, query.search);
        statement.bindInt64(3, std::max(query.limit, 0));
      });
}

Result<std::optional<JunkEntry>, StoreError> JunkLog::entry(std::int64_t id) {
  auto found = select("WHERE junk.id = ?1", "ASC", [id](SqliteStatement& statement) { statement.bindInt64(1, id); });
  if (!found) return found.failure();
  if (found->empty()) return std::optional<JunkEntry>();
  return std::optional<JunkEntry>(std::move(found->front()));
}

nlohmann::ordered_json junkReasons(const FilterDecision& decision) { return decisionMembers(decision); }

nlohmann::ordered_json junkEntryJson(const JunkEntry& entry) {
  nlohmann::ordered_json json;
  json["id"] = entry.id;
  json["received"] = entry.message.received;
  json["logged"] = entry.logged;
  json["modem"] = entry.message.modem;
  json["sender"] = entry.message.sender;
  json["body"] = entry.message.body;
  for (const auto& [name, value] : entry.message.reasons.items()) json[name] = value;
  if (!json.contains("stage")) json["stage"] = "";
  if (!json.contains("matched")) json["matched"] = nlohmann::ordered_json::array();
  json["deleted"] = entry.deleted;
  json["notJunk"] = entry.notJunk;
  json["read"] = entry.read;
  json["pending"] = entry.pending ? nlohmann::ordered_json(*entry.pending) : nlohmann::ordered_json();
  return json;
}

}  // namespace quell
