// JunkLog: the messages that the SMS bridge judged junk, kept so that a person can see what was held back
// and why, and take a message back.
//
// One SQLite database, by default $XDG_DATA_HOME/quell/junk-log.sqlite (XDG_DATA_HOME defaults to
// ~/.local/share), or the file that QUELL_JUNK_LOG names. It also remembers which messages were judged at all. Every
// entry is on disk (WAL, synchronous FULL) when record() returns, so a bridge that deletes a message from the modem
// only after recording it loses nothing to a crash or a power cut. Ham is never logged. The log is bounded: each
// record() prunes entries older than the maximum age and the oldest beyond the maximum count. Safe for one writer and
// any number of readers in other processes.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
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
  bool deleted = false;  // it was deleted from the modem after being recorded
  bool notJunk = false;  // a person said it is not junk
};

struct JunkLogLimits {
  std::chrono::hours maxAge{24 * 90};
  std::int64_t maxEntries = 10000;
};

class JunkLog {
 public:
  // QUELL_JUNK_LOG when set, else $XDG_DATA_HOME/quell/junk-log.sqlite.
  static std::filesystem::path defaultPath();
  // Opens (creating it and its directory if needed); kCannotOpen when the file cannot be used.
  static Result<std::unique_ptr<JunkLog>, StoreError> open(const std::filesystem::path& file,
                                                           JunkLogLimits limits = {});

  // Records a message durably and prunes what the limits leave out; the new entry's id.
  Result<std::int64_t, StoreError> record(const JunkMessage& message);
  Status<StoreError> markDeleted(std::int64_t id);
  Status<StoreError> markNotJunk(std::int64_t id);
  // Every entry, oldest first; one entry, or nullopt when there is none with that id.
  Result<std::vector<JunkEntry>, StoreError> entries();
  Result<std::optional<JunkEntry>, StoreError> entry(std::int64_t id);
  Status<StoreError> clear();

  // Which messages were judged already, ham included (by a fingerprint of what they hold), so that a
  // bridge that restarts does not judge, log, announce or hand to a hook the same message twice. Kept as
  // long as entries are.
  Result<bool, StoreError> judgedBefore(const std::string& fingerprint);
  Status<StoreError> rememberJudged(const std::string& fingerprint);

 private:
  JunkLog(SqliteDatabase db, JunkLogLimits limits) : db_(std::move(db)), limits_(limits) {}
  Status<StoreError> setFlag(const char* column, std::int64_t id);
  Result<std::vector<JunkEntry>, StoreError> select(const char* where, std::optional<std::int64_t> id);

  SqliteDatabase db_;
  JunkLogLimits limits_;
};

// The decision's reasons as a JunkMessage keeps them.
nlohmann::ordered_json junkReasons(const FilterDecision& decision);

// An entry as one JSON object: "id", "received", "logged", "modem", "sender", "body", the reasons'
// members ("stage", "matched", ...), "deleted", "notJunk".
nlohmann::ordered_json junkEntryJson(const JunkEntry& entry);

}  // namespace quell
