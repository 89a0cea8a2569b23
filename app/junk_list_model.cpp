#include "app/junk_list_model.h"

#include "app/junk_texts.h"

namespace quell {

namespace {

bool sameMarks(const JunkEntry& a, const JunkEntry& b) {
  return a.read == b.read && a.notJunk == b.notJunk && a.deleted == b.deleted && a.pending == b.pending;
}

}  // namespace

JunkListModel::JunkListModel(QObject* parent) : QAbstractListModel(parent) {}

void JunkListModel::setLog(JunkLog* log) {
  log_ = log;
  reload();
}

void JunkListModel::setSearch(const QString& search) {
  if (search == search_) return;
  search_ = search;
  reload();
}

void JunkListModel::reload() {
  beginResetModel();
  rows_.clear();
  exhausted_ = log_ == nullptr;
  endResetModel();
  if (log_) fetchMore({});
}

int JunkListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant JunkListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const JunkEntry& entry = entryAt(index.row());
  switch (role) {
    case Qt::DisplayRole: return junkPreviewText(entry.message.sender);
    case Qt::AccessibleTextRole: {
      // One sentence for a screen reader: who, whether it is new, when, why, what.
      const QString sender = QString::fromStdString(entry.message.sender);
      QStringList parts = {sender.isEmpty() ? QString("未知发件人") : sender, entry.read ? QString() : QString("未读"),
                           junkListTime(junkReceivedTime(entry), now_), junkStageText(entry.message.reasons),
                           junkPreviewText(entry.message.body)};
      parts.removeAll(QString());
      return parts.join("，");
    }
    case kTimeRole: return junkListTime(junkReceivedTime(entry), now_);
    case kPreviewRole: return junkPreviewText(entry.message.body);
    case kStageRole: return junkStageText(entry.message.reasons);
    case kUnreadRole: return !entry.read;
    case kNotJunkRole: return entry.notJunk;
    case kIdRole: return static_cast<qint64>(entry.id);
    default: return {};
  }
}

bool JunkListModel::canFetchMore(const QModelIndex& parent) const { return !parent.isValid() && !exhausted_; }

void JunkListModel::fetchMore(const QModelIndex& parent) {
  if (!canFetchMore(parent)) return;
  now_ = QDateTime::currentDateTime();
  auto page = log_->entries(JunkQuery{rows_.empty() ? 0 : rows_.back().id, kPageSize, search_.toStdString()});
  if (!page) {
    exhausted_ = true;  // until the next refresh: a failing read is not retried on every scroll
    emit readFailed(QString::fromStdString(page.message()));
    return;
  }
  exhausted_ = static_cast<int>(page->size()) < kPageSize;
  if (page->empty()) return;
  const int first = rowCount();
  beginInsertRows({}, first, first + static_cast<int>(page->size()) - 1);
  rows_.insert(rows_.end(), std::make_move_iterator(page->begin()), std::make_move_iterator(page->end()));
  endInsertRows();
}

void JunkListModel::refresh() {
  if (!log_) return;
  if (rows_.empty()) {
    reload();
    return;
  }
  // Everything from the oldest row held up to the newest entry, with a page to spare for new ones; when
  // more came than that, the oldest rows held are read again as the view comes back to them.
  const int limit = rowCount() + kPageSize;
  auto fresh = log_->entries(JunkQuery{0, limit, search_.toStdString(), rows_.back().id - 1});
  if (!fresh) {
    emit readFailed(QString::fromStdString(fresh.message()));
    return;
  }
  now_ = QDateTime::currentDateTime();
  if (static_cast<int>(fresh->size()) == limit) exhausted_ = false;
  if (fresh->empty()) {
    reload();  // everything held is gone: perhaps older entries are left
    return;
  }
  merge(std::move(*fresh));
  if (rowCount() > 0) emit dataChanged(index(0), index(rowCount() - 1), {kTimeRole});  // "today" may have moved
}

void JunkListModel::merge(std::vector<JunkEntry> fresh) {
  std::size_t i = 0, j = 0;
  while (i < rows_.size() || j < fresh.size()) {
    if (j == fresh.size() || (i < rows_.size() && rows_[i].id > fresh[j].id)) {
      std::size_t gone = i;  // rows that are no longer in the log
      while (gone < rows_.size() && (j == fresh.size() || rows_[gone].id > fresh[j].id)) ++gone;
      beginRemoveRows({}, static_cast<int>(i), static_cast<int>(gone) - 1);
      rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(i), rows_.begin() + static_cast<std::ptrdiff_t>(gone));
      endRemoveRows();
    } else if (i == rows_.size() || fresh[j].id > rows_[i].id) {
      std::size_t came = j;  // entries that are new here
      while (came < fresh.size() && (i == rows_.size() || fresh[came].id > rows_[i].id)) ++came;
      beginInsertRows({}, static_cast<int>(i), static_cast<int>(i + came - j) - 1);
      rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(i),
                   std::make_move_iterator(fresh.begin() + static_cast<std::ptrdiff_t>(j)),
                   std::make_move_iterator(fresh.begin() + static_cast<std::ptrdiff_t>(came)));
      endInsertRows();
      i += came - j;
      j = came;
    } else {
      if (!sameMarks(rows_[i], fresh[j])) {
        rows_[i] = std::move(fresh[j]);
        emit dataChanged(index(static_cast<int>(i)), index(static_cast<int>(i)));
      }
      ++i;
      ++j;
    }
  }
}

}  // namespace quell
