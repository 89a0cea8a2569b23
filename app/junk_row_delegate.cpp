#include "app/junk_row_delegate.h"

#include <QPainter>
#include <QTextLayout>

#include "app/junk_list_model.h"
#include "app/junk_page_widgets.h"
#include "platform/ui/focus_ring.h"
#include "platform/ui/ui_color.h"
#include "uikit/palette.h"

namespace quell {

namespace {

constexpr int kInset = 16, kDot = 8, kSenderTop = 12, kSenderHeight = 22, kBodyTop = 38, kBodyLine = 20, kStageTop = 82,
              kStageHeight = 20;

QFont pixelFont(const QFont& base, int pixelSize, bool bold = false) {
  QFont font = base;
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

// Up to two lines of text in box, the second cut with "…" when the text goes on.
void drawTwoLines(QPainter* painter, const QString& text, const QFont& font, const QRect& box) {
  QTextLayout layout(text, font);
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
  layout.beginLayout();
  QTextLine first = layout.createLine();
  if (!first.isValid()) {
    layout.endLayout();
    return;
  }
  first.setLineWidth(box.width());
  first.setPosition(QPointF(0, 0));
  const int rest = first.textStart() + first.textLength();
  layout.endLayout();
  const QFontMetrics metrics(font);
  painter->setFont(font);
  const QRect firstBox(box.left(), box.top(), box.width(), kBodyLine);
  painter->drawText(firstBox, Qt::AlignLeft | Qt::AlignVCenter,
                    metrics.elidedText(text.left(rest).trimmed(), Qt::ElideRight, box.width()));
  if (rest < text.size())
    painter->drawText(firstBox.translated(0, kBodyLine), Qt::AlignLeft | Qt::AlignVCenter,
                      metrics.elidedText(text.mid(rest).trimmed(), Qt::ElideRight, box.width()));
}

}  // namespace

QSize JunkRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
  return {option.rect.width(), kRowHeight};
}

void JunkRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing);
  const QRect row = option.rect;
  if (option.state & (QStyle::State_Sunken | QStyle::State_Selected))
    painter->fillRect(row, qb_systemGray5().resolved());
  const bool unread = index.data(JunkListModel::kUnreadRole).toBool();
  const int left = row.left() + kInset + kDot + 6, width = row.width() - (left - row.left()) - kInset;
  if (unread) {
    painter->setPen(Qt::NoPen);
    painter->setBrush(UIColor::systemBlueColor().resolved());
    painter->drawEllipse(QRect(row.left() + kInset, row.top() + kSenderTop + (kSenderHeight - kDot) / 2, kDot, kDot));
  }

  const QString time = index.data(JunkListModel::kTimeRole).toString();
  const QFont timeFont = pixelFont(option.font, 13);
  const int timeWidth = QFontMetrics(timeFont).horizontalAdvance(time);
  painter->setPen(qb_secondaryLabel().resolved());
  painter->setFont(timeFont);
  painter->drawText(QRect(left + width - timeWidth, row.top() + kSenderTop, timeWidth, kSenderHeight),
                    Qt::AlignRight | Qt::AlignVCenter, time);

  QString sender = index.data(Qt::DisplayRole).toString();
  if (sender.isEmpty()) sender = "未知发件人";
  const QFont senderFont = pixelFont(option.font, 17, unread);
  painter->setPen(qb_label().resolved());
  painter->setFont(senderFont);
  painter->drawText(QRect(left, row.top() + kSenderTop, width - timeWidth - 8, kSenderHeight),
                    Qt::AlignLeft | Qt::AlignVCenter,
                    QFontMetrics(senderFont).elidedText(sender, Qt::ElideRight, width - timeWidth - 8));

  painter->setPen(qb_secondaryLabel().resolved());
  drawTwoLines(painter, index.data(JunkListModel::kPreviewRole).toString(), pixelFont(option.font, 15),
               QRect(left, row.top() + kBodyTop, width, 2 * kBodyLine));

  const bool notJunk = index.data(JunkListModel::kNotJunkRole).toBool();
  const QString stage = notJunk ? QString("已标为不是垃圾短信") : index.data(JunkListModel::kStageRole).toString();
  const QFont stageFont = pixelFont(option.font, 13);
  painter->setPen(UIColor::systemBlueColor().resolved());
  painter->setFont(stageFont);
  painter->drawText(QRect(left, row.top() + kStageTop, width, kStageHeight), Qt::AlignLeft | Qt::AlignVCenter,
                    QFontMetrics(stageFont).elidedText(stage, Qt::ElideRight, width));

  painter->fillRect(QRect(left, row.bottom(), row.right() - left, 1), QColor(128, 128, 128, 70));
  // The row the keyboard is on, while the keyboard is in use (the focus ring is around the list then).
  if ((option.state & QStyle::State_HasFocus) && FocusRing::ringedWidget() == option.widget) {
    painter->setPen(QPen(UIColor::systemBlueColor().resolved(), 2));
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(QRectF(row).adjusted(3, 3, -3, -3), 8, 8);
  }
  painter->restore();
}

}  // namespace quell
