// JunkListModel: the entries of the junk log for a list view, newest first, optionally only those whose
// sender or text contains a search.
//
// Rows are read a page at a time as the view comes to them (canFetchMore/fetchMore, by the id of the
// oldest row held), never all at once, so a log of 10,000 entries opens as fast as one of fifty.
// refresh() brings the rows held up to date with the log as others change it (the bridge recording,
// quelllog marking or clearing): new entries appear on top, removed ones go, marks change in place, and
// the rows keep their place otherwise. A read that fails keeps the rows as they were and is reported by
// readFailed. The log is not owned and must outlive the model (or be taken away with setLog(nullptr)).
// Main thread only.
#pragma once

#include <QAbstractListModel>
#include <QDateTime>
#include <vector>

#include "modembridge/junk_log.h"

namespace quell {

class JunkListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  enum Role {
    kTimeRole = Qt::UserRole + 1,  // QString: the time as the list shows it
    kPreviewRole,                  // QString: the body as one paragraph
    kStageRole,                    // QString: the stage that held it back
    kUnreadRole,                   // bool: nobody has opened it yet
    kNotJunkRole,                  // bool: someone said it is not junk
    kIdRole,                       // qint64: the entry's id
  };

  explicit JunkListModel(QObject* parent = nullptr);

  // Shows the entries of log (nullptr: none) that the search finds; reads the first page.
  void setLog(JunkLog* log);
  void setSearch(const QString& search);
  QString search() const { return search_; }
  const JunkEntry& entryAt(int row) const { return rows_[static_cast<std::size_t>(row)]; }
  // The rows held, as the log holds them now.
  void refresh();

  // Rows are read this many at a time.
  static constexpr int kPageSize = 100;

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool canFetchMore(const QModelIndex& parent) const override;
  void fetchMore(const QModelIndex& parent) override;

 signals:
  void readFailed(const QString& why);

 private:
  // Reads the first page afresh.
  void reload();
  // Makes rows_ what `fresh` holds, both newest first, telling the view of each run of rows that came or
  // went and of each row whose marks changed.
  void merge(std::vector<JunkEntry> fresh);

  JunkLog* log_ = nullptr;
  QString search_;
  std::vector<JunkEntry> rows_;
  bool exhausted_ = true;  // every entry older than the last row has been read
  QDateTime now_;          // "today" for the times shown, as of the last read
};

}  // namespace quell
