#include "tools/quellreportd/report_store.h"

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

}  // namespace

Result<std::unique_ptr<ReportStore>, StoreError> ReportStore::open(const std::filesystem::path& file) {
  auto db = SqliteDatabase::openDurable(file, std::chrono::seconds(5));
  if (!db) return db.failure();
  auto setup = db->execute(
      "CREATE TABLE IF NOT EXISTS spam(object_id TEXT PRIMARY KEY, created_at TEXT NOT NULL,"
      " use_rating TEXT NOT NULL, app_rating TEXT NOT NULL, text TEXT NOT NULL,"
      " os_version TEXT, device_uuid TEXT, app_version TEXT)",
      StoreError::kCannotOpen);
  if (!setup)
    return Failure<StoreError>{setup.code(), file.string() + " is not a usable report database: " + setup.message()};
  return std::unique_ptr<ReportStore>(new ReportStore(std::move(*db)));
}

ReportStore::ReportStore(SqliteDatabase db) : db_(std::move(db)), writer_([this] { writeLoop(); }) {}

ReportStore::~ReportStore() {
  {
    std::lock_guard lock(queueMu_);
    stopping_ = true;
  }
  queued_.notify_all();
  writer_.join();
}

Result<ReportStore::Stored, StoreError> ReportStore::add(const SpamReport& report) {
  Pending pending{&report, std::nullopt};
  std::unique_lock lock(queueMu_);
  queue_.push_back(&pending);
  queued_.notify_one();
  written_.wait(lock, [&] { return pending.done; });
  if (pending.stored) return *pending.stored;
  return lastBatch_.failure();
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
    Status<StoreError> written = writeBatch(batch);
    {
      std::lock_guard lock(queueMu_);
      lastBatch_ = written;
      for (Pending* p : batch) {
        if (!written) p->stored.reset();
        p->done = true;
      }
    }
    written_.notify_all();
  }
}

Status<StoreError> ReportStore::writeBatch(std::vector<Pending*>& batch) {
  std::lock_guard lock(dbMu_);
  SqliteTransaction transaction(db_);
  if (!transaction.begun()) return transaction.begun();
  auto insert = db_.prepare("INSERT INTO spam VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
  if (!insert) return insert.status();
  for (Pending* p : batch) {
    const SpamReport& report = *p->report;
    Stored stored{newObjectId(), nowUtc()};
    insert->reset();
    insert->bindText(1, stored.objectId);
    insert->bindText(2, stored.createdAt);
    insert->bindText(3, report.useRating);
    insert->bindText(4, report.appRating);
    insert->bindText(5, report.text);
    insert->bindOptionalText(6, report.osVersion);
    insert->bindOptionalText(7, report.deviceUuid);
    insert->bindOptionalText(8, report.appVersion);
    if (auto inserted = insert->run(); !inserted) return inserted;  // rolled back
    p->stored = stored;
  }
  return transaction.commit();
}

void ReportStore::forEach(const std::function<void(const SpamReport&, const Stored&)>& visit) {
  std::lock_guard lock(dbMu_);
  auto select = db_.prepare("SELECT * FROM spam ORDER BY created_at, rowid");
  if (!select) return;
  for (auto row = select->nextRow(); row && *row; row = select->nextRow()) {
    Stored stored{select->columnText(0), select->columnText(1)};
    SpamReport report{select->columnText(2),         select->columnText(3),         select->columnText(4),
                      select->columnOptionalText(5), select->columnOptionalText(6), select->columnOptionalText(7)};
    visit(report, stored);
  }
}

std::int64_t ReportStore::count() {
  std::lock_guard lock(dbMu_);
  auto select = db_.prepare("SELECT COUNT(*) FROM spam");
  if (!select) return -1;
  auto row = select->nextRow();
  return row && *row ? select->columnInt64(0) : -1;
}

}  // namespace quell
