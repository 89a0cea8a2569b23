#include "platform/sqlite_database.h"

#include <system_error>

namespace quell {

namespace {

StoreError failureOf(int rc, StoreError otherwise) {
  const int primary = rc & 0xff;
  return primary == SQLITE_BUSY || primary == SQLITE_LOCKED ? StoreError::kBusy : otherwise;
}

Failure<StoreError> failureOf(sqlite3_stmt* statement, int rc, StoreError otherwise) {
  return {failureOf(rc, otherwise), sqlite3_errmsg(sqlite3_db_handle(statement))};
}

}  // namespace

const char* storeErrorName(StoreError error) {
  switch (error) {
    case StoreError::kOk: return "ok";
    case StoreError::kCannotOpen: return "cannot open";
    case StoreError::kBusy: return "busy";
    case StoreError::kUnreadable: return "unreadable";
    case StoreError::kWriteFailed: return "write failed";
    case StoreError::kInvalidValue: return "invalid value";
  }
  return "write failed";
}

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& other) noexcept {
  if (this != &other) {
    sqlite3_finalize(statement_);
    statement_ = other.statement_;
    other.statement_ = nullptr;
  }
  return *this;
}

void SqliteStatement::reset() {
  sqlite3_reset(statement_);
  sqlite3_clear_bindings(statement_);
}

void SqliteStatement::bindText(int index, std::string_view text) {
  sqlite3_bind_text64(statement_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

void SqliteStatement::bindBlob(int index, std::string_view bytes) {
  sqlite3_bind_blob64(statement_, index, bytes.data(), bytes.size(), SQLITE_TRANSIENT);
}

void SqliteStatement::bindOptionalText(int index, const std::optional<std::string>& text) {
  if (text)
    bindText(index, *text);
  else
    sqlite3_bind_null(statement_, index);
}

Status<StoreError> SqliteStatement::run(StoreError failure) {
  int rc;
  while ((rc = sqlite3_step(statement_)) == SQLITE_ROW) {
  }
  if (rc == SQLITE_DONE) return {};
  return failureOf(statement_, rc, failure);
}

Result<bool, StoreError> SqliteStatement::nextRow(StoreError failure) {
  const int rc = sqlite3_step(statement_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  return failureOf(statement_, rc, failure);
}

std::string SqliteStatement::columnText(int index) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, index));
  const int size = sqlite3_column_bytes(statement_, index);  // after the text, as SQLite asks
  return text ? std::string(text, static_cast<std::size_t>(size)) : std::string();
}

std::optional<std::string> SqliteStatement::columnOptionalText(int index) const {
  if (columnIsNull(index)) return std::nullopt;
  return columnText(index);
}

std::string_view SqliteStatement::columnBlob(int index) const {
  const void* blob = sqlite3_column_blob(statement_, index);
  const int size = sqlite3_column_bytes(statement_, index);
  return blob ? std::string_view(static_cast<const char*>(blob), static_cast<std::size_t>(size)) : std::string_view();
}

Result<SqliteDatabase, StoreError> SqliteDatabase::openDurable(const std::filesystem::path& path,
                                                               std::chrono::milliseconds busyTimeout) {
  std::error_code ec;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
  if (ec) return Failure<StoreError>{StoreError::kCannotOpen, "cannot create " + path.parent_path().string()};
  sqlite3* db = nullptr;
  const int rc =
      sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
  SqliteDatabase database(db);  // closes db on every path, even when opening failed
  if (rc != SQLITE_OK)
    return Failure<StoreError>{StoreError::kCannotOpen,
                               "cannot open " + path.string() + ": " + (db ? sqlite3_errmsg(db) : "out of memory")};
  sqlite3_busy_timeout(db, static_cast<int>(busyTimeout.count()));
  // These are the first statements to touch the file, so a file that is not a database fails here.
  if (auto durable = database.execute("PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL", StoreError::kCannotOpen);
      !durable)
    return Failure<StoreError>{durable.code(), path.string() + " cannot be used as a database: " + durable.message()};
  return database;
}

Result<SqliteDatabase, StoreError> SqliteDatabase::openForReading(const std::filesystem::path& path,
                                                                  std::chrono::milliseconds busyTimeout) {
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_FULLMUTEX, nullptr);
  SqliteDatabase database(db);
  if (rc != SQLITE_OK)
    return Failure<StoreError>{StoreError::kCannotOpen,
                               "cannot open " + path.string() + ": " + (db ? sqlite3_errmsg(db) : "out of memory")};
  sqlite3_busy_timeout(db, static_cast<int>(busyTimeout.count()));
  // The first read of the schema: a file that is not a database fails here.
  if (auto schema = database.execute("SELECT count(*) FROM sqlite_schema", StoreError::kCannotOpen); !schema)
    return Failure<StoreError>{schema.code(), path.string() + " cannot be read as a database: " + schema.message()};
  return database;
}

SqliteDatabase& SqliteDatabase::operator=(SqliteDatabase&& other) noexcept {
  if (this != &other) {
    sqlite3_close_v2(db_);
    db_ = other.db_;
    other.db_ = nullptr;
  }
  return *this;
}

Status<StoreError> SqliteDatabase::execute(const char* sql, StoreError failure) {
  const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
  if (rc == SQLITE_OK) return {};
  return Failure<StoreError>{failureOf(rc, failure), lastError()};
}

Result<SqliteStatement, StoreError> SqliteDatabase::prepare(std::string_view sql, bool persistent) {
  sqlite3_stmt* statement = nullptr;
  const int rc = sqlite3_prepare_v3(db_, sql.data(), static_cast<int>(sql.size()),
                                    persistent ? SQLITE_PREPARE_PERSISTENT : 0, &statement, nullptr);
  SqliteStatement owned(statement);
  if (rc != SQLITE_OK) return Failure<StoreError>{failureOf(rc, StoreError::kCannotOpen), lastError()};
  return owned;
}

SqliteTransaction::SqliteTransaction(SqliteDatabase& db) : db_(db), begun_(db.execute("BEGIN IMMEDIATE")) {
  open_ = begun_.ok();
}

SqliteTransaction::~SqliteTransaction() {
  if (open_) (void)db_.execute("ROLLBACK");
}

Status<StoreError> SqliteTransaction::commit() {
  if (!open_) return begun_.ok() ? Status<StoreError>(StoreError::kWriteFailed, "the transaction is over") : begun_;
  Status<StoreError> committed = db_.execute("COMMIT");
  if (committed) open_ = false;
  return committed;
}

}  // namespace quell
