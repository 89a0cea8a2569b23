// The junk log as the app uses it (JunkLogAccess): the same file that quellmodem writes and quelllog reads
// (JunkLog::defaultPath()), and a watch on it that tells when anyone has changed it.
//
// The app never creates the log: no log means the bridge never ran here, which the junk page says. A log
// that another writer holds while it is opened (longer than the log's busy timeout), or that cannot be
// written (a read-only file), is opened for reading: it can be shown, and each change opens it for
// writing then, or fails and says why. Main thread only.
#pragma once

#include <sys/types.h>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>
#include <optional>
#include <utility>

#include "modembridge/junk_log.h"

namespace quell {

class JunkLogAccess {
 public:
  // Opens the log (again): for reading and writing, or, when another writer holds it or it cannot be
  // written, for reading only.
  void open();
  // The log to read, or nullptr when there is none (absent()) or it cannot be used (problem()).
  JunkLog* reader() const { return reader_.get(); }
  bool absent() const { return absent_; }
  // Why the log cannot be used, for the user; empty when it opened or is absent.
  const QString& problem() const { return problem_; }
  // The log to change: the reader, when it writes; else the log opened for writing now (kBusy while
  // another writer still holds it, kWriteFailed or kCannotOpen when it cannot be written).
  Result<JunkLog*, StoreError> writer();
  // Whether writer() answers at once, without waiting for another writer.
  bool writes() const { return readerWrites_ || writer_; }
  // Whether the file is no longer the one opened: removed, or replaced by another (open() again).
  bool replaced() const;

 private:
  std::unique_ptr<JunkLog> reader_;
  std::unique_ptr<JunkLog> writer_;  // opened when a change comes while the reader only reads
  bool readerWrites_ = false;
  bool absent_ = false;
  std::optional<std::pair<dev_t, ino_t>> file_;  // the file opened, by its device and inode
  QString problem_;
};

// How many entries were recorded since the junk page last showed the log (JunkLog::unseenCount), read
// without writing anything; 0 when there is no log or it cannot be read.
std::int64_t unseenJunkCount();

// What a StoreError means for a change the user asked for, in a sentence for them.
QString junkLogChangeProblem(StoreError error);
// The HUD's word on a change: stored (a success mark and `done`), or not (an error mark, "未能保存" to a
// screen reader, and junkLogChangeProblem below it, long enough to read).
void showJunkLogDone(const QString& done);
void showJunkLogRefusal(StoreError error);

// Tells when the junk log or its write-ahead log changes (every commit writes one of them), or either is
// made or removed: watches both files and the folder that holds them, and signals once for a burst of
// changes.
class JunkLogWatcher : public QObject {
  Q_OBJECT

 public:
  explicit JunkLogWatcher(QObject* parent = nullptr);

 signals:
  void changed();

 private:
  // Watches what exists now (a file made or replaced since is watched again).
  void watchWhatExists();

  QFileSystemWatcher watcher_;
  QTimer settle_;
};

}  // namespace quell
