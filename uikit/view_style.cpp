#include "uikit/view_style.h"

#include <QWidget>

#include "platform/ui/layer_effect.h"
#include "platform/ui/view_background.h"
#include "uikit/neumorphic_layers.h"

namespace quell {

void applyNeumorphicStyle(QWidget* view) {
  if (!active.stored(view).value_or(false)) return;  // only an explicit true styles
  removeShadowLayers(view);                          // gives the view back its colour from the earlier faces
  ShadowStyle style;
  style.faceColor = backgroundColor(view);
  style.blurRadius = shadowRadius.get(view);
  addShadowLayers(view, style);
  setBackgroundColor(view, UIColor::clearColor());
}

}  // namespace quell
