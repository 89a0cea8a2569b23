// ReportStore: the backend's reports, kept durably in one SQLite database file.
//
// Every stored report gets an object id (10 random letters and digits) and a creation time (UTC,
// "YYYY-MM-DD HH:MM:SS"). A report is on disk when add() returns, so a crash never loses or half-writes an
// acknowledged report. Safe to use from several threads: reports added at the same time are written by one
// writer thread in one transaction (group commit), so many clients share each wait for the disk.
#pragma once

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/sqlite_database.h"
#include "tools/quellreportd/spam_report.h"

namespace quell {

class ReportStore {
 public:
  struct Stored {
    std::string objectId;
    std::string createdAt;
  };

  // Opens (creating if needed); kCannotOpen when the file cannot be used.
  static Result<std::unique_ptr<ReportStore>, StoreError> open(const std::filesystem::path& file);
  ~ReportStore();

  // Blocks until the report is on disk; kBusy or kWriteFailed when it could not be stored. Every text is
  // kept whole, NUL bytes included.
  Result<Stored, StoreError> add(const SpamReport& report);
  // Every stored report, oldest first.
  void forEach(const std::function<void(const SpamReport&, const Stored&)>& visit);
  std::int64_t count();

 private:
  struct Pending {
    const SpamReport* report;
    std::optional<Stored> stored;
    bool done = false;
  };

  explicit ReportStore(SqliteDatabase db);
  void writeLoop();
  Status<StoreError> writeBatch(std::vector<Pending*>& batch);

  std::mutex dbMu_;  // guards db_
  SqliteDatabase db_;
  std::mutex queueMu_;  // guards everything below
  std::condition_variable queued_, written_;
  std::deque<Pending*> queue_;
  Status<StoreError> lastBatch_;  // how the batch that was written last ended
  bool stopping_ = false;
  std::thread writer_;
};

}  // namespace quell
