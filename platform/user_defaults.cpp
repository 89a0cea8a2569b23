#include "platform/user_defaults.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>
#include <unordered_map>

#include "platform/bundle.h"
#include "platform/data_home.h"

namespace quell {

namespace {

constexpr int kBusyTimeoutMs = 250;

bool validDomainName(std::string_view name) {
  return !name.empty() && name.front() != '.' && name.find('/') == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

// The connection to the database at path, ready for use (created if needed), with its two statements;
// nullopt on any failure.
struct OpenedDatabase {
  SqliteDatabase db;
  SqliteStatement select, upsert;
};

std::optional<OpenedDatabase> openDatabase(const std::filesystem::path& path) {
  // Durable, so that the filter reads while the app writes and every committed write survives a power cut.
  auto db = SqliteDatabase::openDurable(path, std::chrono::milliseconds(kBusyTimeoutMs));
  if (!db || !db->execute("CREATE TABLE IF NOT EXISTS defaults(key TEXT PRIMARY KEY, value BLOB NOT NULL)"))
    return std::nullopt;
  auto select = db->prepare("SELECT value FROM defaults WHERE key = ?1", true);
  auto upsert = db->prepare(
      "INSERT INTO defaults(key, value) VALUES(?1, ?2) ON CONFLICT(key) DO UPDATE SET value = excluded.value", true);
  if (!select || !upsert) return std::nullopt;
  return OpenedDatabase{std::move(*db), std::move(*select), std::move(*upsert)};
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
    auto opened = openDatabase(path);
    if (!opened || ::stat(path.c_str(), &st) != 0) return nullptr;
    std::shared_ptr<UserDefaults> defaults(new UserDefaults(path, std::move(opened->db), std::move(opened->select),
                                                            std::move(opened->upsert), st.st_dev, st.st_ino));
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

UserDefaults::UserDefaults(std::filesystem::path path, SqliteDatabase db, SqliteStatement select,
                           SqliteStatement upsert, std::uint64_t device, std::uint64_t inode)
    : path_(std::move(path)),
      device_(device),
      inode_(inode),
      db_(std::move(db)),
      select_(std::move(select)),
      upsert_(std::move(upsert)) {}

std::filesystem::path UserDefaults::pathForDomain(std::string_view domain) {
  return userDataHome() / "quell" / "defaults" / (std::string(domain) + ".sqlite");
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
  select_.reset();
  select_.bindText(1, key);
  StoredObject stored;
  auto row = select_.nextRow();
  // A read that fails (a damaged page, an I/O error) tells nothing about the value: it is unreadable.
  if (!row) stored.state = StoredObject::State::kUnreadable;
  if (row && *row) {
    auto value = decodePropertyList(select_.columnBlob(0));
    if (value) {
      stored.state = StoredObject::State::kPresent;
      stored.value = std::move(*value);
    } else {
      stored.state = StoredObject::State::kUnreadable;
    }
  }
  select_.reset();
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

Status<StoreError> UserDefaults::setObjectForKey(const PropertyList& value, std::string_view key) {
  return setObjectsForKeys({{std::string(key), value}});
}

Status<StoreError> UserDefaults::setIntegerForKey(std::int64_t value, std::string_view key) {
  return setObjectForKey(PropertyList(value), key);
}

Status<StoreError> UserDefaults::setObjectsForKeys(const std::map<std::string, PropertyList>& values) {
  return editObjectsForKeys(
      {}, [&](const StoredObjects&) -> Result<std::map<std::string, PropertyList>, StoreError> { return values; });
}

Status<StoreError> UserDefaults::editObjectsForKeys(const std::vector<std::string>& keys, const Edit& edit) {
  std::lock_guard lock(mu_);
  // BEGIN IMMEDIATE takes the write lock before the read, so what edit sees is what it replaces.
  SqliteTransaction transaction(db_);
  if (!transaction.begun()) return transaction.begun();
  StoredObjects stored;
  for (const auto& key : keys) stored.emplace(key, readStored(key));
  auto values = edit(stored);
  if (!values) return values.status();
  if (values->empty()) return {};
  if (auto written = writeEncoded(*values); !written) return written;  // rolled back
  return transaction.commit();
}

Status<StoreError> UserDefaults::writeEncoded(const std::map<std::string, PropertyList>& values) {
  for (const auto& [key, value] : values) {
    auto bytes = encodePropertyList(value);
    if (!bytes) return {StoreError::kInvalidValue, "the value of \"" + key + "\" cannot be encoded"};
    upsert_.reset();
    upsert_.bindText(1, key);
    upsert_.bindBlob(2, *bytes);
    auto written = upsert_.run();
    upsert_.reset();
    if (!written) return written;
  }
  return {};
}

void UserDefaults::registerDefaults(const PropertyListDictionary& defaults) {
  std::lock_guard lock(mu_);
  for (const auto& [key, value] : defaults) registered_.insert_or_assign(key, value);
}

}  // namespace quell
