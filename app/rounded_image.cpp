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
  QPainterPath clip;
  clip.addRoundedRect(QRectF(QPointF(0, 0), size), radius, radius);
  painter.setClipPath(clip);
  painter.drawImage(QRectF(QPointF(0, 0), size), image);
  return out;
}

}  // namespace quell
