// roundedImage: an image clipped to a rounded rectangle of its own size. The radius is half the shorter
// side for a circle, or when cornerRadius is not positive; otherwise cornerRadius, at most that half.
#pragma once

#include <QImage>

namespace quell {

QImage roundedImage(const QImage& image, double cornerRadius, bool circle);

}  // namespace quell
