// JunkRowDelegate: draws one row of the junk list (JunkListModel's roles): the sender, bold with a dot
// while unread, and the time on the first line; two lines of the text below, cut with "…"; then the stage
// that held it back (or "已标为不是垃圾短信"). Every row is equally tall. Texts are laid out as plain text,
// each on its own, so that a direction override in one cannot turn another around. Colours are resolved
// when drawn, so the rows follow a change of appearance.
#pragma once

#include <QStyledItemDelegate>

namespace quell {

class JunkRowDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  static constexpr int kRowHeight = 116;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace quell
