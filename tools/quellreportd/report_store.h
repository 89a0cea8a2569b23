// ReportStore: the backend's reports, kept durably in one SQLite database file.
//
// Every stored report gets an object id (10 random letters and digits) and a creation time (UTC,
// "YYYY-MM-DD HH:MM:SS"). A report is written in one transaction that is on disk when add() returns, so
// a crash never loses or half-writes an acknowledged report. Safe to use from several threads.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

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

  std::optional<Stored> add(const SpamReport& report);
  // Every stored report, oldest first.
  void forEach(const std::function<void(const SpamReport&, const Stored&)>& visit);
  std::int64_t count();

 private:
  explicit ReportStore(sqlite3* db) : db_(db) {}
  std::mutex mu_;
  sqlite3* db_;
};

}  // namespace quell
