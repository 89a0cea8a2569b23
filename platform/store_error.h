// StoreError: what goes wrong in a store kept in SQLite (the settings store, the report store).
#pragma once

namespace quell {

enum class StoreError {
  kOk,            // success
  kCannotOpen,    // the file or its directory cannot be created or opened, or the file is not a database
  kBusy,          // another connection held the write lock beyond the busy timeout; nothing changed
  kUnreadable,    // a read failed, or the stored bytes do not decode as a value
  kWriteFailed,   // a write or its commit failed (disk full, I/O error, read-only file); nothing changed
  kInvalidValue,  // the value cannot be stored (it cannot be encoded)
};

// "ok", "cannot open", "busy", "unreadable", "write failed" or "invalid value".
const char* storeErrorName(StoreError error);

}  // namespace quell
