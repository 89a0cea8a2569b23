#include "app/junk_log_access.h"

#include <sys/stat.h>
#include <QFileInfo>

#include "platform/ui/hud.h"

namespace quell {

namespace {

// Changes closer together than this are told as one.
constexpr int kSettleMs = 50;
constexpr int kDoneHudMs = 1500, kRefusalHudMs = 3500;

QString logPath() { return QString::fromStdString(JunkLog::defaultPath().string()); }

std::optional<std::pair<dev_t, ino_t>> fileIdentity(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return std::make_pair(info.st_dev, info.st_ino);
}

}  // namespace

void JunkLogAccess::open() {
  reader_.reset();
  writer_.reset();
  readerWrites_ = absent_ = false;
  problem_.clear();
  const auto path = JunkLog::defaultPath();
  file_ = fileIdentity(path);
  std::error_code error;
  if (!std::filesystem::exists(path, error)) {
    absent_ = !error;
    if (error) problem_ = "无法读取拦截记录：" + QString::fromStdString(error.message());
    return;
  }
  auto writable = JunkLog::open(path);
  if (writable) {
    reader_ = std::move(*writable);
    readerWrites_ = true;
    return;
  }
  // Held by another writer, or not writable: shown as it is; a change tries to open it for writing again.
  auto readable = JunkLog::openForReading(path);
  if (readable) {
    reader_ = std::move(*readable);
    return;
  }
  qWarning("the junk log cannot be read: %s", readable.message().c_str());
  problem_ = "无法读取拦截记录（" + logPath() + "）：" + QString::fromStdString(writable.message());
}

bool JunkLogAccess::replaced() const { return fileIdentity(JunkLog::defaultPath()) != file_; }

Result<JunkLog*, StoreError> JunkLogAccess::writer() {
  if (!reader_) return Failure<StoreError>{StoreError::kCannotOpen, "there is no junk log to change"};
  if (readerWrites_) return reader_.get();
  if (!writer_) {
    auto writable = JunkLog::open(JunkLog::defaultPath());
    if (!writable) return writable.failure();
    writer_ = std::move(*writable);
  }
  return writer_.get();
}

std::int64_t unseenJunkCount() {
  std::error_code error;
  if (!std::filesystem::exists(JunkLog::defaultPath(), error)) return 0;
  auto log = JunkLog::openForReading(JunkLog::defaultPath());
  if (!log) return 0;
  auto unseen = (*log)->unseenCount();
  return unseen ? *unseen : 0;  // a log the bridge has not brought up to date yet: no badge
}

QString junkLogChangeProblem(StoreError error) {
  switch (error) {
    case StoreError::kBusy: return "拦截记录或名单正被其他程序占用，什么都没有改变。请稍后再试。";
    case StoreError::kUnreadable: return "号码白名单无法读取，为免覆盖原有数据，没有修改。";
    case StoreError::kCannotOpen: return "无法打开拦截记录或名单，什么都没有改变。";
    default: return "无法写入拦截记录（可能是只读文件或磁盘已满），什么都没有改变。";
  }
}

void showJunkLogDone(const QString& done) {
  PKHUD& hud = PKHUD::sharedHUD();
  hud.setContentView(PKHUD::Content::kSuccess, done);
  hud.setAccessibilityLabel(done);
  hud.show();
  hud.hide(kDoneHudMs);
}

void showJunkLogRefusal(StoreError error) {
  PKHUD& hud = PKHUD::sharedHUD();
  hud.setContentView(PKHUD::Content::kError, junkLogChangeProblem(error));
  hud.setAccessibilityLabel("未能保存");
  hud.show();
  hud.hide(kRefusalHudMs);
}

JunkLogWatcher::JunkLogWatcher(QObject* parent) : QObject(parent) {
  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMs);
  connect(&settle_, &QTimer::timeout, this, &JunkLogWatcher::changed);
  auto heard = [this] {
    watchWhatExists();
    settle_.start();
  };
  connect(&watcher_, &QFileSystemWatcher::fileChanged, this, heard);
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, heard);
  watchWhatExists();
}

void JunkLogWatcher::watchWhatExists() {
  const QString log = logPath();
  for (const QString& path : {QFileInfo(log).absolutePath(), log, log + "-wal"})
    if (QFileInfo::exists(path) && !watcher_.files().contains(path) && !watcher_.directories().contains(path))
      watcher_.addPath(path);
}

}  // namespace quell
