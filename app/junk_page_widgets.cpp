#include "app/junk_page_widgets.h"

#include <QPainter>
#include <QPainterPath>

#include "platform/ui/dynamic_palette.h"
#include "uikit/palette.h"

namespace quell {

QLabel* makeJunkPageLabel(QWidget* parent, int pixelSize, const UIColor& color, bool bold) {
  auto* label = new QLabel(parent);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  QFont font = label->font();
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  label->setFont(font);
  setTextColor(label, color);
  return label;
}

JunkActionButton::JunkActionButton(const QString& title, const UIColor& color, QWidget* parent)
    : QPushButton(title, parent), color_(color) {
  setFocusPolicy(Qt::TabFocus);
  setCursor(Qt::PointingHandCursor);
  QFont font = this->font();
  font.setPixelSize(17);
  setFont(font);
}

void JunkActionButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath face;
  face.addRoundedRect(QRectF(rect()), 10, 10);
  QColor faceColor = quell::create(UIColor::whiteColor(), UIColor::systemGray6Color()).resolved();
  if (isDown()) faceColor = faceColor.darker(110);
  painter.fillPath(face, faceColor);
  QColor title = color_.resolved();
  if (!isEnabled()) title = qb_secondaryLabel().resolved();
  painter.setPen(title);
  painter.setFont(font());
  painter.drawText(rect().adjusted(8, 0, -8, 0), Qt::AlignCenter,
                   fontMetrics().elidedText(text(), Qt::ElideRight, width() - 16));
}

}  // namespace quell
