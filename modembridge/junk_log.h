// JunkLog: the messages that the SMS bridge judged junk, kept so that a person can see what was held back
// and why, and take a message back.
//
// One SQLite database, by default $XDG_DATA_HOME/quell/junk-log.sqlite (XDG_DATA_HOME defaults to
// ~/.local/share), or the file that QUELL_JUNK_LOG names. The same file holds the bridge's progress with each
// SMS (sms_ledger.h), so that an entry and its message's progress are written in one transaction. Every
// write is on disk (WAL, synchronous FULL) when it returns. Ham is never logged.
//
// The log is bounded: each recording prunes entries older than the maximum age and the oldest beyond the
// maximum count, except entries whose message the bridge has not finished with (pending).
//
// Any number of processes may read and write it at once (the bridge, quelllog, the companion app); a write
// waits up to two seconds for another writer and then fails with kBusy, changing nothing. A reader that
// wants to hear of new entries watches the file's write-ahead log (the file name with "-wal" appended):
// every commit writes it. A JunkLog object is used from one thread at a time.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/filter_decision.h"
#include "platform/sqlite_database.h"

namespace quell {

// One junk message, as the bridge received and judged it.
struct JunkMessage {
  std::string received;  // when the modem received it (ISO 8601, as the modem says), or empty
  std::string modem;     // which modem (its D-Bus object path)
  std::string sender;
  std::string body;
  // The decision's reasons: "stage", "matched", and for the model "score", "threshold", "bias", "words".
  nlohmann::ordered_json reasons = nlohmann::ordered_json::object();
};

struct JunkEntry {
  std::int64_t id = 0;
  std::string logged;  // when it was recorded (UTC, "YYYY-MM-DDTHH:MM:SSZ")
  JunkMessage message;
  bool deleted = false;  // it is gone from the modem (deleted by the bridge, or by someone else meanwhile)
  bool notJunk = false;  // a person said it is not junk
  bool read = false;     // a person has seen it
  // Set while the bridge is not finished with the message: why (the modem refused to delete it, it is still
  // to be announced, ...). The bridge keeps trying; an entry never stays pending because of a reader.
  std::optional<std::string> pending;
};

struct JunkLogLimits {
  std::chrono::hours maxAge{24 * 90};
  std::int64_t maxEntries = 10000;
};

// Which entries entries(query) returns: newest first, up to `limit`, those older than `before` (an id; 0
// for the newest), and with `search` non-empty only those whose sender or body contains it (case-sensitive,
// as typed).
struct JunkQuery {
  std::int64_t before = 0;
  int limit = 50;
  std::string search;
};

class JunkLog {
 public:
  // QUELL_JUNK_LOG when set, else $XDG_DATA_HOME/quell/junk-log.sqlite.
  static std::filesystem::path defaultPath();
  // Opens for reading and writing, creating the file and its directory if needed, and bringing a log of an
  // earlier version up to date. kCannotOpen when the file cannot be used, kBusy when another writer holds it.
  static Result<std::unique_ptr<JunkLog>, StoreError> open(const std::filesystem::path& file,
                                                           JunkLogLimits limits = {});
  // Opens an existing log for reading only (a read-only mount, a log of another user): the writing methods
  // fail. kCannotOpen when there is no such log or it cannot be read.
  static Result<std::unique_ptr<JunkLog>, StoreError> openForReading(const std::filesystem::path& file);

  // Records a message durably and prunes what the limits leave out; the new entry's id.
  Result<std::int64_t, StoreError> record(const JunkMessage& message);

  // Every entry, oldest first.
  Result<std::vector<JunkEntry>, StoreError> entries();
  // A page of entries, newest first (see JunkQuery).
  Result<std::vector<JunkEntry>, StoreError> entries(const JunkQuery& query);
  // One entry, or nullopt when there is none with that id.
  Result<std::optional<JunkEntry>, StoreError> entry(std::int64_t id);

  // Marks an entry; an id that is not in the log changes nothing and is no failure.
  Status<StoreError> markNotJunk(std::int64_t id);
  Status<StoreError> markRead(std::int64_t id);
  // Removes one entry, or every entry. The bridge remembers what it judged either way, so no message is
  // judged again; it still finishes a pending message (deletes it from the modem, announces it).
  Status<StoreError> remove(std::int64_t id);
  Status<StoreError> clear();

 private:
  friend class SmsLedger;
  JunkLog(SqliteDatabase db, JunkLogLimits limits) : db_(std::move(db)), limits_(limits) {}
  // Within an open transaction: inserts the entry, then prunes.
  Result<std::int64_t, StoreError> insert(const JunkMessage& message);
  Status<StoreError> prune();
  Status<StoreError> setFlag(const char* column, std::int64_t id);
  Result<std::vector<JunkEntry>, StoreError> select(const std::string& where, const std::string& order,
                                                    const std::function<void(SqliteStatement&)>& bind);

  SqliteDatabase db_;
  JunkLogLimits limits_;
};

// The decision's reasons as a JunkMessage keeps them.
nlohmann::ordered_json junkReasons(const FilterDecision& decision);

// An entry as one JSON object: "id", "received", "logged", "modem", "sender", "body", the reasons'
// members ("stage", "matched", ...), "deleted", "notJunk", "read", and "pending" (the reason, or null).
nlohmann::ordered_json junkEntryJson(const JunkEntry& entry);

}  // namespace quell
