// SqliteDatabase, SqliteStatement and SqliteTransaction: owners of SQLite's connection and statement handles
// and of a write transaction, so that every handle is finalised or closed exactly once and a transaction
// that is not committed is rolled back, on every path out of a function.
//
// They hide no SQL, and no SQLite result code leaves them: failures come back as Status/Result of the store
// domain (StoreError). A lock that cannot be had within the busy timeout is kBusy, a failed statement of a
// write kWriteFailed, a failed read kUnreadable.
#pragma once

#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/status.h"
#include "platform/store_error.h"

namespace quell {

class SqliteStatement {
 public:
  SqliteStatement() = default;
  explicit SqliteStatement(sqlite3_stmt* statement) : statement_(statement) {}
  ~SqliteStatement() { sqlite3_finalize(statement_); }
  SqliteStatement(SqliteStatement&& other) noexcept : statement_(other.statement_) { other.statement_ = nullptr; }
  SqliteStatement& operator=(SqliteStatement&& other) noexcept;
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  // Makes the statement ready for another use: resets it and clears its bindings.
  void reset();

  // Parameters are numbered from 1. Text and blobs are copied, so the arguments need not outlive the call.
  void bindText(int index, std::string_view text);
  void bindBlob(int index, std::string_view bytes);
  void bindOptionalText(int index, const std::optional<std::string>& text);  // null when absent
  void bindInt64(int index, std::int64_t value) { sqlite3_bind_int64(statement_, index, value); }

  // Runs a statement that returns no rows (or whose rows are not wanted) to its end. A failure is kBusy or
  // `failure`.
  Status<StoreError> run(StoreError failure = StoreError::kWriteFailed);
  // Steps to the next row of a query: true with a row to read, false after the last one. A failure is kBusy
  // or `failure`.
  Result<bool, StoreError> nextRow(StoreError failure = StoreError::kUnreadable);

  // The columns of the row that nextRow() just reached. Text and blobs are whole, NUL bytes included; a blob
  // view is valid until the next nextRow(), run() or reset().
  bool columnIsNull(int index) const { return sqlite3_column_type(statement_, index) == SQLITE_NULL; }
  std::string columnText(int index) const;
  std::optional<std::string> columnOptionalText(int index) const;  // nullopt for null
  std::string_view columnBlob(int index) const;
  std::int64_t columnInt64(int index) const { return sqlite3_column_int64(statement_, index); }

 private:
  sqlite3_stmt* statement_ = nullptr;
};

class SqliteDatabase {
 public:
  // Opens the database at path, read-write, creating it (and its directory) if needed, for a store that
  // must survive a crash or a power cut: write-ahead logging, so that readers in other processes go on
  // beside a writer, and synchronous=FULL, so that a commit is on disk when it returns. A lock held by
  // another connection is waited for up to busyTimeout. The connection may be used from several threads.
  // Fails with kCannotOpen when the file or its directory cannot be created or opened, or is not a
  // database; with kBusy when another connection holds the file beyond the timeout.
  static Result<SqliteDatabase, StoreError> openDurable(const std::filesystem::path& path,
                                                        std::chrono::milliseconds busyTimeout);
  // Opens an existing database at path for reading only, so that a store on a read-only mount, or one the
  // caller may not write, can still be read. Nothing is created. Fails with kCannotOpen when the file is
  // absent, unreadable or not a database.
  static Result<SqliteDatabase, StoreError> openForReading(const std::filesystem::path& path,
                                                           std::chrono::milliseconds busyTimeout);
  ~SqliteDatabase() { sqlite3_close_v2(db_); }
  SqliteDatabase(SqliteDatabase&& other) noexcept : db_(other.db_) { other.db_ = nullptr; }
  SqliteDatabase& operator=(SqliteDatabase&& other) noexcept;
  SqliteDatabase(const SqliteDatabase&) = delete;
  SqliteDatabase& operator=(const SqliteDatabase&) = delete;

  // Runs one or more statements that return no rows. A failure is kBusy or `failure`.
  Status<StoreError> execute(const char* sql, StoreError failure = StoreError::kWriteFailed);
  // Prepares one statement; persistent for one that is kept and used many times.
  Result<SqliteStatement, StoreError> prepare(std::string_view sql, bool persistent = false);
  // SQLite's description of the last failure on this connection.
  std::string lastError() const { return sqlite3_errmsg(db_); }

 private:
  explicit SqliteDatabase(sqlite3* db) : db_(db) {}
  sqlite3* db_ = nullptr;
};

// A write transaction: BEGIN IMMEDIATE when made, so the write lock is taken up front and a busy store fails
// here, before anything changed; ROLLBACK when destroyed without a successful commit().
class SqliteTransaction {
 public:
  explicit SqliteTransaction(SqliteDatabase& db);
  ~SqliteTransaction();
  SqliteTransaction(const SqliteTransaction&) = delete;
  SqliteTransaction& operator=(const SqliteTransaction&) = delete;

  // Whether the transaction began (kBusy when the write lock could not be had).
  const Status<StoreError>& begun() const { return begun_; }
  // Commits; on failure the destructor rolls back.
  Status<StoreError> commit();

 private:
  SqliteDatabase& db_;
  Status<StoreError> begun_;
  bool open_ = false;  // begun and neither committed nor rolled back
};

}  // namespace quell
