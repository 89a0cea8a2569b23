#include "app/grouped_face.h"

#include <QPainter>
#include <QPainterPath>

#include "uikit/palette.h"

namespace quell {

void GroupedFace::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath face;
  face.addRoundedRect(QRectF(rect()), 12, 12);
  painter.fillPath(face, quell::create(UIColor::whiteColor(), UIColor::systemGray6Color()).resolved());
}

}  // namespace quell
