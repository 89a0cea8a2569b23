#include "app/rounded_image.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace quell {

QImage roundedImage(const QImage& image, double cornerRadius, bool circle) {
  const double dpr = image.devicePixelRatio();
  const QSizeF size = QSizeF(image.size()) / dpr;
  const double half = std::min(size.width(), size.height()) / 2;
  const double radius = circle ? half : cornerRadius > 0 ? std::min(cornerRadius, half) : half;
  QImage out(image.size(), QImage::Format_ARGB32_Premultiplied);
  out.setDevicePixelRatio(dpr);
  out.fill(Qt::transparent);
  QPainter painter(&out);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath shape;
  shape.addRoundedRect(QRectF(QPointF(0, 0), size), radius, radius);
  // Filling the shape with the image as its texture gives smooth edges, which a clip path does not.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QBrush(image));
  painter.drawPath(shape);
  return out;
}

}  // namespace quell
