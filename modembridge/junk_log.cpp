#include "modembridge/junk_log.h"

#include <cstdlib>
#include <ctime>

#include "engine/decision_description.h"
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

std::string utcNow() { return utcSecondsAgo(0); }

constexpr const char* kColumns = "id, logged, received, modem, sender, body, reasons, deleted, not_junk";

}  // namespace

std::filesystem::path JunkLog::defaultPath() {
  const char* chosen = std::getenv("QUELL_JUNK_LOG");
  if (chosen && *chosen) return chosen;
  return userDataHome() / "quell" / "junk-log.sqlite";
}

Result<std::unique_ptr<JunkLog>, StoreError> JunkLog::open(const std::filesystem::path& file, JunkLogLimits limits) {
  // Durable: quelllog reads while the bridge writes, and every commit is on disk before it returns.
  auto db = SqliteDatabase::openDurable(file, std::chrono::seconds(2));
  if (!db) return db.failure();
  auto setup = db->execute(
      "CREATE TABLE IF NOT EXISTS junk(id INTEGER PRIMARY KEY AUTOINCREMENT, logged TEXT NOT NULL,"
      " received TEXT NOT NULL, modem TEXT NOT NULL, sender TEXT NOT NULL, body TEXT NOT NULL,"
      " reasons TEXT NOT NULL, deleted INTEGER NOT NULL DEFAULT 0, not_junk INTEGER NOT NULL DEFAULT 0);"
      "CREATE TABLE IF NOT EXISTS judged(fingerprint TEXT PRIMARY KEY, judged TEXT NOT NULL)",
      StoreError::kCannotOpen);
  if (!setup) return Failure<StoreError>{setup.code(), file.string() + " is not a usable junk log: " + setup.message()};
  return std::unique_ptr<JunkLog>(new JunkLog(std::move(*db), limits));
}

Result<std::int64_t, StoreError> JunkLog::record(const JunkMessage& message) {
  SqliteTransaction transaction(db_);
  if (!transaction.begun()) return transaction.begun().failure();
  auto insert =
      db_.prepare("INSERT INTO junk(logged, received, modem, sender, body, reasons) VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
  if (!insert) return insert.failure();
  insert->bindText(1, utcNow());
  insert->bindText(2, message.received);
  insert->bindText(3, message.modem);
  insert->bindText(4, message.sender);
  insert->bindText(5, message.body);
  insert->bindText(6, message.reasons.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace));
  if (auto inserted = insert->run(); !inserted) return inserted.failure();
  auto id = db_.prepare("SELECT last_insert_rowid()");
  if (!id) return id.failure();
  if (auto row = id->nextRow(StoreError::kWriteFailed); !row || !*row)
    return row ? Failure<StoreError>{StoreError::kWriteFailed, "the new entry has no id"} : row.failure();
  const std::int64_t newId = id->columnInt64(0);
  // The bounds: nothing older than the maximum age, and only the newest entries up to the maximum count.
  auto prune = db_.prepare(
      "DELETE FROM junk WHERE logged < ?1 OR id <= (SELECT id FROM junk ORDER BY id DESC "
      "LIMIT 1 OFFSET ?2)");
  if (!prune) return prune.failure();
  prune->bindText(1, utcSecondsAgo(std::chrono::duration_cast<std::chrono::seconds>(limits_.maxAge).count()));
  prune->bindInt64(2, std::max<std::int64_t>(limits_.maxEntries, 1));
  if (auto pruned = prune->run(); !pruned) return pruned.failure();
  if (auto committed = transaction.commit(); !committed) return committed.failure();
  return newId;
}

Result<bool, StoreError> JunkLog::judgedBefore(const std::string& fingerprint) {
  auto query = db_.prepare("SELECT 1 FROM judged WHERE fingerprint = ?1");
  if (!query) return query.failure();
  query->bindText(1, fingerprint);
  return query->nextRow();
}

Status<StoreError> JunkLog::rememberJudged(const std::string& fingerprint) {
  SqliteTransaction transaction(db_);
  if (!transaction.begun()) return transaction.begun();
  auto insert = db_.prepare("INSERT OR IGNORE INTO judged(fingerprint, judged) VALUES(?1, ?2)");
  if (!insert) return insert.status();
  insert->bindText(1, fingerprint);
  insert->bindText(2, utcNow());
  if (auto inserted = insert->run(); !inserted) return inserted;
  // As bounded as the entries: by age, and at most ten times as many as entries are kept.
  auto prune = db_.prepare(
      "DELETE FROM judged WHERE judged < ?1 OR rowid <= (SELECT rowid FROM judged ORDER BY "
      "rowid DESC LIMIT 1 OFFSET ?2)");
  if (!prune) return prune.status();
  prune->bindText(1, utcSecondsAgo(std::chrono::duration_cast<std::chrono::seconds>(limits_.maxAge).count()));
  prune->bindInt64(2, std::max<std::int64_t>(limits_.maxEntries, 1) * 10);
  if (auto pruned = prune->run(); !pruned) return pruned;
  return transaction.commit();
}

Status<StoreError> JunkLog::setFlag(const char* column, std::int64_t id) {
  auto update = db_.prepare(std::string("UPDATE junk SET ") + column + " = 1 WHERE id = ?1");
  if (!update) return update.status();
  update->bindInt64(1, id);
  return update->run();
}

Status<StoreError> JunkLog::markDeleted(std::int64_t id) { return setFlag("deleted", id); }
Status<StoreError> JunkLog::markNotJunk(std::int64_t id) { return setFlag("not_junk", id); }

Status<StoreError> JunkLog::clear() { return db_.execute("DELETE FROM junk"); }  // what was judged stays judged

Result<std::vector<JunkEntry>, StoreError> JunkLog::select(const char* where, std::optional<std::int64_t> id) {
  auto query = db_.prepare(std::string("SELECT ") + kColumns + " FROM junk " + where + " ORDER BY id");
  if (!query) return query.failure();
  if (id) query->bindInt64(1, *id);
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
    found.push_back(std::move(entry));
  }
  return found;
}

Result<std::vector<JunkEntry>, StoreError> JunkLog::entries() { return select("", std::nullopt); }

Result<std::optional<JunkEntry>, StoreError> JunkLog::entry(std::int64_t id) {
  auto found = select("WHERE id = ?1", id);
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
  return json;
}

}  // namespace quell
