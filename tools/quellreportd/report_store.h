// ReportStore: the backend's reports, kept durably in one SQLite database file.
//
// Every stored report gets an object id (10 random letters and digits) and a creation time (UTC,
// "YYYY-MM-DD HH:MM:SS"). A report is on disk when add() returns, so a crash never loses or half-writes an
// acknowledged report. Safe to use from several threads: reports added at the same time are written by one
// writer thread in one transaction (group commit), so many clients share each wait for the disk.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "tools/quellreportd/spam_report.h"

struct sqlite3;

namespace quell {

class ReportStore {
 public:
  struct Stored {
    std::string objectId;
    std::string createdAt;
  };

  // Opens (creating if needed); nullptr with *error set when the file cannot be used.
  static std::unique_ptr<ReportStore> open(const std::filesystem::path& file, std::string* error);
  ~ReportStore();

  // Blocks until the report is on disk; nullopt when it could not be stored.
  std::optional<Stored> add(const SpamReport& report);
  // Every stored report, oldest first.
  void forEach(const std::function<void(const SpamReport&, const Stored&)>& visit);
  std::int64_t count();

 private:
  struct Pending {
    const SpamReport* report;
    std::optional<Stored> result;
    bool done = false;
  };

  explicit ReportStore(sqlite3* db);
  void writeLoop();
  bool writeBatch(std::vector<Pending*>& batch);

  std::mutex dbMu_;  // guards db_
  sqlite3* db_;
  std::mutex queueMu_;  // guards everything below
  std::condition_variable queued_, written_;
  std::deque<Pending*> queue_;
  bool stopping_ = false;
  std::thread writer_;
};

}  // namespace quell
