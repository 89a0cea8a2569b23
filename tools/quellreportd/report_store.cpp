#include "tools/quellreportd/report_store.h"

#include <sqlite3.h>

#include <ctime>
#include <random>

namespace quell {

namespace {

std::string newObjectId() {
  static thread_local std::mt19937_64 rng{std::random_device{}()};
  static const char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string id(10, ' ');
  for (char& c : id) c = kAlphabet[rng() % (sizeof kAlphabet - 1)];
  return id;
}

std::string nowUtc() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  gmtime_r(&now, &tm);
  char buffer[32];
  std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &tm);
  return buffer;
}

void bindOptional(sqlite3_stmt* statement, int index, const std::optional<std::string>& value) {
  if (value) sqlite3_bind_text(statement, index, value->data(), static_cast<int>(value->size()), SQLITE_TRANSIENT);
  else sqlite3_bind_null(statement, index);
}

std::optional<std::string> columnOptional(sqlite3_stmt* statement, int index) {
  if (sqlite3_column_type(statement, index) == SQLITE_NULL) return std::nullopt;
  return std::string(reinterpret_cast<const char*>(sqlite3_column_text(statement, index)));
}

}  // namespace

std::unique_ptr<ReportStore> ReportStore::open(const std::filesystem::path& file, std::string* error) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                      nullptr) != SQLITE_OK) {
    *error = "cannot open " + file.string() + ": " + (db ? sqlite3_errmsg(db) : "out of memory");
    sqlite3_close(db);
    return nullptr;
  }
  sqlite3_busy_timeout(db, 5000);
  const char* setup =
      "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;"
      "CREATE TABLE IF NOT EXISTS spam(object_id TEXT PRIMARY KEY, created_at TEXT NOT NULL,"
      " use_rating TEXT NOT NULL, app_rating TEXT NOT NULL, text TEXT NOT NULL,"
      " os_version TEXT, device_uuid TEXT, app_version TEXT)";
  char* message = nullptr;
  if (sqlite3_exec(db, setup, nullptr, nullptr, &message) != SQLITE_OK) {
    *error = file.string() + " is not a usable report database: " + (message ? message : "unknown error");
    sqlite3_free(message);
    sqlite3_close(db);
    return nullptr;
  }
  return std::unique_ptr<ReportStore>(new ReportStore(db));
}

ReportStore::ReportStore(sqlite3* db) : db_(db), writer_([this] { writeLoop(); }) {}

ReportStore::~ReportStore() {
  {
    std::lock_guard lock(queueMu_);
    stopping_ = true;
  }
  queued_.notify_all();
  writer_.join();
  sqlite3_close(db_);
}

std::optional<ReportStore::Stored> ReportStore::add(const SpamReport& report) {
  Pending pending{&report, std::nullopt};
  std::unique_lock lock(queueMu_);
  queue_.push_back(&pending);
  queued_.notify_one();
  written_.wait(lock, [&] { return pending.done; });
  return pending.result;
}

void ReportStore::writeLoop() {
  for (;;) {
    std::vector<Pending*> batch;
    {
      std::unique_lock lock(queueMu_);
      queued_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (queue_.empty()) return;
      batch.assign(queue_.begin(), queue_.end());
      queue_.clear();
    }
    // One transaction for everything that queued up meanwhile; all of it commits or none of it does.
    bool committed = writeBatch(batch);
    {
      std::lock_guard lock(queueMu_);
      for (Pending* p : batch) {
        if (!committed) p->result.reset();
        p->done = true;
      }
    }
    written_.notify_all();
  }
}

bool ReportStore::writeBatch(std::vector<Pending*>& batch) {
  std::lock_guard lock(dbMu_);
  if (sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) return false;
  sqlite3_stmt* insert = nullptr;
  bool ok = sqlite3_prepare_v2(db_, "INSERT INTO spam VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)", -1, &insert,
                               nullptr) == SQLITE_OK;
  for (Pending* p : batch) {
    if (!ok) break;
    const SpamReport& report = *p->report;
    Stored stored{newObjectId(), nowUtc()};
    bindOptional(insert, 1, stored.objectId);
    bindOptional(insert, 2, stored.createdAt);
    bindOptional(insert, 3, report.useRating);
    bindOptional(insert, 4, report.appRating);
    bindOptional(insert, 5, report.text);
    bindOptional(insert, 6, report.osVersion);
    bindOptional(insert, 7, report.deviceUuid);
    bindOptional(insert, 8, report.appVersion);
    ok = sqlite3_step(insert) == SQLITE_DONE;
    sqlite3_reset(insert);
    if (ok) p->result = stored;
  }
  sqlite3_finalize(insert);
  if (ok && sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK) return true;
  sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  return false;
}

void ReportStore::forEach(const std::function<void(const SpamReport&, const Stored&)>& visit) {
  std::lock_guard lock(dbMu_);
  sqlite3_stmt* select = nullptr;
  if (sqlite3_prepare_v2(db_, "SELECT * FROM spam ORDER BY created_at, rowid", -1, &select, nullptr) != SQLITE_OK)
    return;
  while (sqlite3_step(select) == SQLITE_ROW) {
    auto text = [&](int i) { return columnOptional(select, i).value_or(std::string()); };
    Stored stored{text(0), text(1)};
    SpamReport report{text(2), text(3), text(4),
                      columnOptional(select, 5), columnOptional(select, 6), columnOptional(select, 7)};
    visit(report, stored);
  }
  sqlite3_finalize(select);
}

std::int64_t ReportStore::count() {
  std::lock_guard lock(dbMu_);
  sqlite3_stmt* select = nullptr;
  std::int64_t n = -1;
  if (sqlite3_prepare_v2(db_, "SELECT COUNT(*) FROM spam", -1, &select, nullptr) == SQLITE_OK &&
      sqlite3_step(select) == SQLITE_ROW)
    n = sqlite3_column_int64(select, 0);
  sqlite3_finalize(select);
  return n;
}

}  // namespace quell
