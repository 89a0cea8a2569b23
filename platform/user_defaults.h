// UserDefaults: a persistent, process-shared key-value store of property-list values, one per domain.
//
// This stands in for the phone's settings store. Each domain (an app group's suite, or a program's standard
// domain) is one SQLite database under the user's XDG data directory:
//   $XDG_DATA_HOME/quell/defaults/<domain>.sqlite   (XDG_DATA_HOME defaults to ~/.local/share)
//
// Contract:
//  - Opening can fail (the directory cannot be created, the file is not a database or is corrupt, the store
//    stays locked beyond a short busy timeout): the open functions then return nullptr, as the platform's
//    do. Callers treat that as "no store".
//  - Writes report failure as a Status of the store domain: kBusy when another writer held the store beyond
//    the busy timeout, kWriteFailed when the write or its commit failed, kInvalidValue when a value cannot
//    be encoded. A write that fails changed nothing.
//  - Every read goes to the database, so a value written by another process is seen on the next read.
//  - setObjectForKey replaces one key's whole value in one durable transaction: a reader sees the old or the
//    new value, never a mixture. Writers of different keys never lose each other's writes.
//  - setObjectsForKeys writes several keys in one transaction: all of them or none.
//  - A stored value that cannot be decoded is never half-read. objectForKey and the typed readers treat it
//    as absent; storedObjectForKey tells it apart, so that an editor does not write over it.
//  - A UserDefaults object is safe to use from several threads. Objects for the same file are shared within
//    a process; if the file is replaced on disk, the next open notices and reopens it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/property_list.h"
#include "platform/sqlite_database.h"

namespace quell {

// What a store holds under one key.
struct StoredObject {
  enum class State {
    kAbsent,      // no value is stored under the key
    kPresent,     // value holds it
    kUnreadable,  // bytes are stored that do not decode as a value
  };
  State state = State::kAbsent;
  PropertyList value;
};

class UserDefaults {
 public:
  // Opens the domain named suiteName (for an app group, its identifier). A name that is empty, starts with
  // a dot or holds a path separator is refused.
  static std::shared_ptr<UserDefaults> initWithSuiteName(std::string_view suiteName);
  // Opens the running program's own private domain, named by its bundle identifier.
  static std::shared_ptr<UserDefaults> standardUserDefaults();
  // Where the database of a domain lives (whether or not it exists yet).
  static std::filesystem::path pathForDomain(std::string_view domain);

  UserDefaults(const UserDefaults&) = delete;
  UserDefaults& operator=(const UserDefaults&) = delete;

  // The stored value, or the registered default, or nullopt (an unreadable value reads as absent).
  std::optional<PropertyList> objectForKey(std::string_view key);
  // What is stored under key, registered defaults left aside.
  StoredObject storedObjectForKey(std::string_view key);
  // The value under key if it is an array; nullopt if absent, not an array or unreadable.
  std::optional<PropertyListArray> arrayForKey(std::string_view key);
  // The value under key if it is an integer (a Boolean reads as 0 or 1, a real is truncated); else 0.
  std::int64_t integerForKey(std::string_view key);

  Status<StoreError> setObjectForKey(const PropertyList& value, std::string_view key);
  Status<StoreError> setIntegerForKey(std::int64_t value, std::string_view key);
  Status<StoreError> setObjectsForKeys(const std::map<std::string, PropertyList>& values);
  // A read and a write of several keys in one write transaction, so that no other writer's change falls
  // between them: `edit` sees what is stored under each of keys, and returns the values to store (keys it
  // leaves out keep what they hold), or a failure, which changes nothing and is returned. Fails also
  // with kBusy, kWriteFailed or kInvalidValue, with nothing changed. edit must not use this store.
  using StoredObjects = std::map<std::string, StoredObject>;
  using Edit = std::function<Result<std::map<std::string, PropertyList>, StoreError>(const StoredObjects& stored)>;
  Status<StoreError> editObjectsForKeys(const std::vector<std::string>& keys, const Edit& edit);

  // Defaults answer reads of keys that hold no stored value. They live in this process only.
  void registerDefaults(const PropertyListDictionary& defaults);

  const std::filesystem::path& path() const { return path_; }

 private:
  friend class UserDefaultsCache;
  UserDefaults(std::filesystem::path path, SqliteDatabase db, SqliteStatement select, SqliteStatement upsert,
               std::uint64_t device, std::uint64_t inode);

  StoredObject readStored(std::string_view key);
  // Writes encoded values inside the caller's transaction; caller holds mu_.
  Status<StoreError> writeEncoded(const std::map<std::string, PropertyList>& values);

  const std::filesystem::path path_;
  const std::uint64_t device_;
  const std::uint64_t inode_;
  std::mutex mu_;  // guards everything below
  SqliteDatabase db_;
  SqliteStatement select_;
  SqliteStatement upsert_;
  PropertyListDictionary registered_;
};

}  // namespace quell
