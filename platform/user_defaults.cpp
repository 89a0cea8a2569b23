#include "platform/user_defaults.h"

#include <pwd.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>
#include <unordered_map>

#include "platform/bundle.h"

namespace quell {

namespace {

constexpr int kBusyTimeoutMs = 250;

std::filesystem::path dataHome() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  if (!home || home[0] != '/') {
    const passwd* pw = getpwuid(getuid());
    home = pw ? pw->pw_dir : "/tmp";
  }
  return std::filesystem::path(home) / ".local" / "share";
}

bool validDomainName(std::string_view name) {
  return !name.empty() && name.front() != '.' && name.find('/') == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

bool exec(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// Opens (creating if needed) and prepares the database at path; nullptr on any failure.
sqlite3* openDatabase(const std::filesystem::path& path) {
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  if (ec) return nullptr;
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &db,
                           SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_close(db);
    return nullptr;
  }
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  // WAL lets the filter read while the app writes; FULL makes every committed write survive a power cut.
  // These statements are the first to touch the file, so a file that is not a database fails here.
  if (!exec(db, "PRAGMA journal_mode=WAL") || !exec(db, "PRAGMA synchronous=FULL") ||
      !exec(db, "CREATE TABLE IF NOT EXISTS defaults(key TEXT PRIMARY KEY, value BLOB NOT NULL)")) {
    sqlite3_close(db);
    return nullptr;
  }
  return db;
}

}  // namespace

// Keeps one open UserDefaults per database file for the life of the process, so that reading a value costs
// one query rather than opening a database. Each lookup checks that the file on disk is still the one that
// was opened.
class UserDefaultsCache {
 public:
  static std::shared_ptr<UserDefaults> open(const std::filesystem::path& path) {
    static UserDefaultsCache* cache = new UserDefaultsCache;  // never destroyed: outlives all users
    return cache->lookup(path);
  }

 private:
  std::shared_ptr<UserDefaults> lookup(const std::filesystem::path& path) {
    std::lock_guard lock(mu_);
    if (pid_ != getpid()) forgetInheritedConnections();
    struct stat st;
    bool exists = ::stat(path.c_str(), &st) == 0;
    auto it = open_.find(path.native());
    if (it != open_.end()) {
      if (exists && it->second->device_ == st.st_dev && it->second->inode_ == st.st_ino) return it->second;
      open_.erase(it);
    }
    sqlite3* db = openDatabase(path);
    if (!db) return nullptr;
    if (::stat(path.c_str(), &st) != 0) {
      sqlite3_close(db);
      return nullptr;
    }
    std::shared_ptr<UserDefaults> defaults(new UserDefaults(path, db, st.st_dev, st.st_ino));
    if (!defaults->select_ || !defaults->upsert_) return nullptr;
    open_.emplace(path.native(), defaults);
    return defaults;
  }

  // A forked child must not use or close its parent's SQLite connections; it abandons them and opens
  // its own.
  void forgetInheritedConnections() {
    for (auto& [path, defaults] : open_) new std::shared_ptr<UserDefaults>(std::move(defaults));
    open_.clear();
    pid_ = getpid();
  }

  std::mutex mu_;
  pid_t pid_ = getpid();
  std::unordered_map<std::string, std::shared_ptr<UserDefaults>> open_;
};

UserDefaults::UserDefaults(std::filesystem::path path, sqlite3* db, std::uint64_t device,
                           std::uint64_t inode)
    : path_(std::move(path)), device_(device), inode_(inode), db_(db) {
  sqlite3_prepare_v3(db_, "SELECT value FROM defaults WHERE key = ?1", -1, SQLITE_PREPARE_PERSISTENT,
                     &select_, nullptr);
  sqlite3_prepare_v3(db_,
                     "INSERT INTO defaults(key, value) VALUES(?1, ?2) "
                     "ON CONFLICT(key) DO UPDATE SET value = excluded.value",
                     -1, SQLITE_PREPARE_PERSISTENT, &upsert_, nullptr);
}

UserDefaults::~UserDefaults() {
  sqlite3_finalize(select_);
  sqlite3_finalize(upsert_);
  sqlite3_close(db_);
}

std::filesystem::path UserDefaults::pathForDomain(std::string_view domain) {
  return dataHome() / "quell" / "defaults" / (std::string(domain) + ".sqlite");
}

std::shared_ptr<UserDefaults> UserDefaults::initWithSuiteName(std::string_view suiteName) {
  if (!validDomainName(suiteName)) return nullptr;
  return UserDefaultsCache::open(pathForDomain(suiteName));
}

std::shared_ptr<UserDefaults> UserDefaults::standardUserDefaults() {
  return initWithSuiteName(Bundle::main().identifier());
}

StoredObject UserDefaults::readStored(std::string_view key) {
  // Caller holds mu_.
  sqlite3_reset(select_);
  sqlite3_bind_text(select_, 1, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
  StoredObject stored;
  const int rc = sqlite3_step(select_);
  // A read that fails (a damaged page, an I/O error) tells nothing about the value: it is unreadable.
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) stored.state = StoredObject::State::kUnreadable;
  if (rc == SQLITE_ROW) {
    const void* blob = sqlite3_column_blob(select_, 0);
    int size = sqlite3_column_bytes(select_, 0);
    auto value = decodePropertyList(std::string_view(static_cast<const char*>(blob), blob ? size : 0));
    if (value) {
      stored.state = StoredObject::State::kPresent;
      stored.value = std::move(*value);
    } else {
      stored.state = StoredObject::State::kUnreadable;
    }
  }
  sqlite3_reset(select_);
  sqlite3_clear_bindings(select_);
  return stored;
}

StoredObject UserDefaults::storedObjectForKey(std::string_view key) {
  std::lock_guard lock(mu_);
  return readStored(key);
}

std::optional<PropertyList> UserDefaults::objectForKey(std::string_view key) {
  std::lock_guard lock(mu_);
  StoredObject stored = readStored(key);
  if (stored.state == StoredObject::State::kPresent) return std::move(stored.value);
  // An unreadable value reads as absent: the registered default, if any, answers.
  auto it = registered_.find(std::string(key));
  if (it != registered_.end()) return it->second;
  return std::nullopt;
}

std::optional<PropertyListArray> UserDefaults::arrayForKey(std::string_view key) {
  auto value = objectForKey(key);
  if (!value) return std::nullopt;
  if (auto array = value->get<PropertyListArray>()) return std::move(*array);
  return std::nullopt;
}

std::int64_t UserDefaults::integerForKey(std::string_view key) {
  auto value = objectForKey(key);
  if (!value) return 0;
  if (auto i = value->get<std::int64_t>()) return *i;
  if (auto b = value->get<bool>()) return *b ? 1 : 0;
  if (auto d = value->get<double>()) {
    if (*d >= -9.2e18 && *d <= 9.2e18) return static_cast<std::int64_t>(*d);
  }
  return 0;
}

bool UserDefaults::setObjectForKey(const PropertyList& value, std::string_view key) {
  return setObjectsForKeys({{std::string(key), value}});
}

bool UserDefaults::setIntegerForKey(std::int64_t value, std::string_view key) {
  return setObjectForKey(PropertyList(value), key);
}

bool UserDefaults::setObjectsForKeys(const std::map<std::string, PropertyList>& values) {
  std::vector<std::pair<const std::string*, std::string>> encoded;
  for (const auto& [key, value] : values) {
    auto bytes = encodePropertyList(value);
    if (!bytes) return false;
    encoded.emplace_back(&key, std::move(*bytes));
  }
  std::lock_guard lock(mu_);
  // BEGIN IMMEDIATE takes the write lock up front, so a busy store fails here, before anything changed.
  if (!exec(db_, "BEGIN IMMEDIATE")) return false;
  for (const auto& [key, bytes] : encoded) {
    sqlite3_reset(upsert_);
    sqlite3_bind_text(upsert_, 1, key->data(), static_cast<int>(key->size()), SQLITE_TRANSIENT);
    sqlite3_bind_blob(upsert_, 2, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    int rc = sqlite3_step(upsert_);
    sqlite3_reset(upsert_);
    sqlite3_clear_bindings(upsert_);
    if (rc != SQLITE_DONE) {
      exec(db_, "ROLLBACK");
      return false;
    }
  }
  if (!exec(db_, "COMMIT")) {
    exec(db_, "ROLLBACK");
    return false;
  }
  return true;
}

void UserDefaults::registerDefaults(const PropertyListDictionary& defaults) {
  std::lock_guard lock(mu_);
  for (const auto& [key, value] : defaults) registered_.insert_or_assign(key, value);
}

}  // namespace quell
