#include "modembridge/sms_ledger.h"

namespace quell {

namespace {

constexpr const char* kColumns =
    "id, fingerprint, occurrence, device, owner, path, modem, verdict, step, entry, deleted, sender, body, "
    "received, stage, waiting FROM sms";

const char* verdictName(SmsVerdict verdict) {
  switch (verdict) {
    case SmsVerdict::kJunk: return "junk";
    case SmsVerdict::kSkipped: return "skipped";
    case SmsVerdict::kHam: break;
  }
  return "ham";
}

SmsVerdict verdictNamed(const std::string& name) {
  if (name == "junk") return SmsVerdict::kJunk;
  if (name == "skipped") return SmsVerdict::kSkipped;
  return SmsVerdict::kHam;
}

}  // namespace

Status<StoreError> SmsLedger::createTables(SqliteDatabase& db, std::chrono::hours legacyAge) {
  auto created = db.execute(
      "CREATE TABLE IF NOT EXISTS sms(id INTEGER PRIMARY KEY, fingerprint TEXT NOT NULL,"
      " occurrence INTEGER NOT NULL, device TEXT NOT NULL, owner TEXT NOT NULL, path TEXT NOT NULL,"
      " modem TEXT NOT NULL, verdict TEXT NOT NULL, step INTEGER NOT NULL, entry INTEGER,"
      " deleted INTEGER NOT NULL DEFAULT 0, sender TEXT NOT NULL, body TEXT NOT NULL, received TEXT NOT NULL,"
      " stage TEXT NOT NULL, waiting TEXT NOT NULL DEFAULT '', judged TEXT NOT NULL,"
      " UNIQUE(fingerprint, occurrence));"
      "CREATE INDEX IF NOT EXISTS sms_device ON sms(device);"
      "CREATE INDEX IF NOT EXISTS sms_unfinished ON sms(step) WHERE step < 3",
      StoreError::kCannotOpen);
  if (!created) return created;
  // An earlier version kept only the fingerprints of what it judged, in "judged".
  bool legacy = false;
  {
    auto query = db.prepare("SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = 'judged'");
    if (!query) return query.status();
    auto found = query->nextRow();
    if (!found) return found.status();
    legacy = *found;
  }  // finished before the table is dropped
  if (legacy) {
    auto moved = db.execute(
        "INSERT OR IGNORE INTO sms(fingerprint, occurrence, device, owner, path, modem, verdict, step, sender,"
        " body, received, stage, judged) SELECT fingerprint, 1, '', '', '', '', 'ham', 3, '', '', '', '', judged"
        " FROM judged; DROP TABLE judged");
    if (!moved) return moved;
  }
  auto expired = db.prepare(
      "DELETE FROM sms WHERE device = '' AND step = 3 AND judged < strftime('%Y-%m-%dT%H:%M:%SZ', 'now', ?1)");
  if (!expired) return expired.status();
  std::string ago = std::to_string(-std::chrono::duration_cast<std::chrono::seconds>(legacyAge).count());
  ago += " seconds";
  expired->bindText(1, ago);
  return expired->run();
}

std::string SmsLedger::pendingReason(int step, const std::string& waiting) {
  if (!waiting.empty()) return waiting;
  return step == static_cast<int>(SmsStep::kJudged) ? "to be deleted from the modem" : "to be announced";
}

Result<std::vector<SmsRecord>, StoreError> SmsLedger::select(const char* where, const std::string& text) {
  auto query = log_.db_.prepare(std::string("SELECT ") + kColumns + " " + where);
  if (!query) return query.failure();
  if (!text.empty()) query->bindText(1, text);
  std::vector<SmsRecord> found;
  for (;;) {
    auto row = query->nextRow();
    if (!row) return row.failure();
    if (!*row) break;
    SmsRecord record;
    record.id = query->columnInt64(0);
    record.fingerprint = query->columnText(1);
    record.occurrence = query->columnInt64(2);
    record.device = query->columnText(3);
    record.owner = query->columnText(4);
    record.path = query->columnText(5);
    record.modem = query->columnText(6);
    record.verdict = verdictNamed(query->columnText(7));
    record.step = static_cast<SmsStep>(query->columnInt64(8));
    record.entry = query->columnInt64(9);
    record.deleted = query->columnInt64(10) != 0;
    record.sender = query->columnText(11);
    record.body = query->columnText(12);
    record.received = query->columnText(13);
    record.stage = query->columnText(14);
    record.waiting = query->columnText(15);
    found.push_back(std::move(record));
  }
  return found;
}

Result<std::vector<SmsRecord>, StoreError> SmsLedger::withFingerprint(const std::string& fingerprint) {
  return select("WHERE fingerprint = ?1 ORDER BY occurrence", fingerprint);
}

Result<std::vector<SmsRecord>, StoreError> SmsLedger::unfinished() { return select("WHERE step < 3 ORDER BY id", ""); }

Result<std::optional<SmsRecord>, StoreError> SmsLedger::find(std::int64_t id) {
  auto found = select("WHERE id = ?1", std::to_string(id));
  if (!found) return found.failure();
  if (found->empty()) return std::optional<SmsRecord>();
  return std::optional<SmsRecord>(std::move(found->front()));
}

Result<std::vector<std::int64_t>, StoreError> SmsLedger::onDevice(const std::string& device) {
  auto found = select("WHERE device = ?1", device);
  if (!found) return found.failure();
  std::vector<std::int64_t> ids;
  for (const auto& record : *found) ids.push_back(record.id);
  return ids;
}

Status<StoreError> SmsLedger::save(const std::vector<SmsRecord*>& records) {
  SqliteDatabase& db = log_.db_;
  SqliteTransaction transaction(db);
  if (!transaction.begun()) return transaction.begun();
  auto insert = db.prepare(
      "INSERT INTO sms(fingerprint, occurrence, device, owner, path, modem, verdict, step, entry, deleted, sender,"
      " body, received, stage, waiting, judged) VALUES(?1, (SELECT coalesce(max(occurrence), 0) + 1 FROM sms"
      " WHERE fingerprint = ?1), ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14,"
      " strftime('%Y-%m-%dT%H:%M:%SZ', 'now'))"
      " RETURNING id, occurrence");
  auto update = db.prepare(
      "UPDATE sms SET device = ?2, owner = ?3, path = ?4, modem = ?5, step = ?6, deleted = ?7, sender = ?8,"
      " body = ?9, received = ?10, stage = ?11, waiting = ?12 WHERE id = ?1");
  auto markDeleted = db.prepare("UPDATE junk SET deleted = 1 WHERE id = ?1");
  auto forget = db.prepare("DELETE FROM sms WHERE id = ?1");
  if (!insert) return insert.status();
  if (!update) return update.status();
  if (!markDeleted) return markDeleted.status();
  if (!forget) return forget.status();
  struct Assigned {
    SmsRecord* record;
    std::int64_t id, occurrence, entry;
  };
  std::vector<Assigned> assigned;
  for (SmsRecord* record : records) {
    const bool done = record->step == SmsStep::kDone;
    // What a finished message keeps: its fingerprint and where it is, nothing of what it says.
    const std::string none;
    const std::string& sender = done ? none : record->sender;
    const std::string& body = done ? none : record->body;
    const std::string& received = done ? none : record->received;
    if (record->id == 0) {
      std::int64_t entry = 0;
      if (record->verdict == SmsVerdict::kJunk) {
        auto recorded = log_.insert({record->received, record->modem, record->sender, record->body, record->reasons});
        if (!recorded) return recorded.failure();
        entry = *recorded;
      }
      insert->reset();
      insert->bindText(1, record->fingerprint);
      insert->bindText(2, record->device);
      insert->bindText(3, record->owner);
      insert->bindText(4, record->path);
      insert->bindText(5, record->modem);
      insert->bindText(6, verdictName(record->verdict));
      insert->bindInt64(7, static_cast<int>(record->step));
      if (entry) insert->bindInt64(8, entry);
      insert->bindInt64(9, record->deleted);
      insert->bindText(10, sender);
      insert->bindText(11, body);
      insert->bindText(12, received);
      insert->bindText(13, record->stage);
      insert->bindText(14, record->waiting);
      auto row = insert->nextRow(StoreError::kWriteFailed);
      if (!row) return row.status();
      if (!*row) return Status<StoreError>(StoreError::kWriteFailed, "the new message has no id");
      assigned.push_back({record, insert->columnInt64(0), insert->columnInt64(1), entry});
      if (auto finished = insert->run(); !finished) return finished;
      continue;
    }
    if (done && record->deleted) {
      forget->reset();
      forget->bindInt64(1, record->id);
      if (auto forgotten = forget->run(); !forgotten) return forgotten;
    } else {
      update->reset();
      update->bindInt64(1, record->id);
      update->bindText(2, record->device);
      update->bindText(3, record->owner);
      update->bindText(4, record->path);
      update->bindText(5, record->modem);
      update->bindInt64(6, static_cast<int>(record->step));
      update->bindInt64(7, record->deleted);
      update->bindText(8, sender);
      update->bindText(9, body);
      update->bindText(10, received);
      update->bindText(11, record->stage);
      update->bindText(12, record->waiting);
      if (auto updated = update->run(); !updated) return updated;
    }
    if (record->deleted && record->entry) {
      markDeleted->reset();
      markDeleted->bindInt64(1, record->entry);
      if (auto marked = markDeleted->run(); !marked) return marked;
    }
  }
  if (auto committed = transaction.commit(); !committed) return committed;
  for (const Assigned& a : assigned) {
    a.record->id = a.id;
    a.record->occurrence = a.occurrence;
    a.record->entry = a.entry;
  }
  return {};
}

Status<StoreError> SmsLedger::forget(const std::vector<std::int64_t>& ids) {
  SqliteTransaction transaction(log_.db_);
  if (!transaction.begun()) return transaction.begun();
  auto forget = log_.db_.prepare("DELETE FROM sms WHERE id = ?1");
  if (!forget) return forget.status();
  for (std::int64_t id : ids) {
    forget->reset();
    forget->bindInt64(1, id);
    if (auto forgotten = forget->run(); !forgotten) return forgotten;
  }
  return transaction.commit();
}

}  // namespace quell
