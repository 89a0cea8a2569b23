// SmsLedger: the SMS bridge's progress with each message it has met, so that every SMS is judged,
// recorded, deleted and announced exactly once, through failures, kills and restarts.
//
// It lives in the junk log's file (its own table), so that a junk message's entry and its progress are
// written by one transaction. Each message goes through these steps, each committed before what follows
// it is done:
//   judged   the verdict is fixed (and for junk, the entry is in the log);
//   deleted  junk only: it is gone from the modem (or the bridge was told not to delete it);
//   done     it was announced (its hook started, its notification sent).
// A message is known by a fingerprint of what it holds plus an occurrence number (two identical SMS are two
// messages), and by where it was last seen: the ModemManager that held it (its unique bus name), its object
// path there, and its modem's device. While the message is unfinished its sender, body and time are kept,
// so that it can be announced after a restart even if it left the modem; a finished message keeps only its
// fingerprint, for as long as it is on the modem, so that it is never judged again.
//
// Used from one thread, through the JunkLog that owns the file.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "modembridge/junk_log.h"

namespace quell {

enum class SmsVerdict { kHam, kJunk, kSkipped };  // skipped: a data SMS or a status report, not judged
enum class SmsStep { kJudged = 1, kDeleted = 2, kDone = 3 };

struct SmsRecord {
  std::int64_t id = 0;  // 0 until saved
  std::string fingerprint;
  std::int64_t occurrence = 0;  // given when first saved
  std::string device, owner, path, modem;
  SmsVerdict verdict = SmsVerdict::kHam;
  SmsStep step = SmsStep::kJudged;
  std::int64_t entry = 0;  // the junk entry
  bool deleted = false;    // junk gone from the modem
  std::string sender, body, received, stage;
  nlohmann::ordered_json reasons;  // junk: what its entry records
  std::string waiting;             // why the next step has not happened yet, or empty
};

class SmsLedger {
 public:
  explicit SmsLedger(JunkLog& log) : log_(log) {}

  // Within JunkLog::open's transaction: creates the table, turns the fingerprints an earlier version kept
  // into finished messages (whose place is unknown, so they are forgotten after legacyAge, as then), and
  // forgets those of them older than legacyAge.
  static Status<StoreError> createTables(SqliteDatabase& db, std::chrono::hours legacyAge);
  // What a pending junk entry shows, from its message's step and the reason it waits.
  static std::string pendingReason(int step, const std::string& waiting);

  // The messages with this fingerprint, lowest occurrence first.
  Result<std::vector<SmsRecord>, StoreError> withFingerprint(const std::string& fingerprint);
  // The messages not yet done, oldest first.
  Result<std::vector<SmsRecord>, StoreError> unfinished();
  // The ids of the messages last seen on a modem of this device.
  Result<std::vector<std::int64_t>, StoreError> onDevice(const std::string& device);
  Result<std::optional<SmsRecord>, StoreError> find(std::int64_t id);

  // Saves every record in one transaction, or none: a record without an id is inserted (with the next free
  // occurrence of its fingerprint, and a junk record with its log entry), the others updated. A done record
  // loses its text; a done record whose message left the modem is forgotten. Ids, occurrences and entries
  // are filled in only when the transaction committed.
  Status<StoreError> save(const std::vector<SmsRecord*>& records);
  // Forgets messages that are gone from the modem.
  Status<StoreError> forget(const std::vector<std::int64_t>& ids);

 private:
  Result<std::vector<SmsRecord>, StoreError> select(const char* where, const std::string& text);
  JunkLog& log_;
};

}  // namespace quell
