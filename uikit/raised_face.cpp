#include "uikit/raised_face.h"

#include <QWidget>

#include "platform/ui/view_background.h"
#include "uikit/palette.h"
#include "uikit/view_style.h"

namespace quell {

void makeRaised(QWidget* widget, double radius) {
  setBackgroundColor(widget, create(qb_backgroundColor(), UIColor::systemGray6Color()));
  lightShadowColor.set(widget, create(UIColor::colorWithRGBA(1, 1, 1, 0.7), UIColor::colorWithRGBA(1, 1, 1, 0.1)));
  darkShadowColor.set(widget, create(UIColor::colorWithRGBA(8 / 255.0, 8 / 255.0, 33 / 255.0, 0.12),
                                     UIColor::colorWithRGBA(0, 0, 0, 0.9)));
  active.set(widget, true);
  cornerRadius.set(widget, radius);
  shadowDarkOffsetX.set(widget, 8);
  shadowDarkOffsetY.set(widget, 8);
  shadowLightOffsetX.set(widget, -8);
  shadowLightOffsetY.set(widget, -8);
}

}  // namespace quell
