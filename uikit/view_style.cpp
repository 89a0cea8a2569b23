#include "uikit/view_style.h"

#include <QWidget>

#include "platform/ui/layer_effect.h"
#include "platform/ui/view_background.h"
#include "uikit/neumorphic_layers.h"

namespace quell {

void applyNeumorphicStyle(QWidget* view) {
  if (!active.stored(view).value_or(false)) return;  // only an explicit true styles
  removeShadowLayers(view);  // gives the view back its colour from the earlier faces
  ShadowLayerSpec spec;
  spec.name = kShadowDarkLayer;
  spec.faceColor = backgroundColor(view);
  spec.corners = selectedCorners(view);
  spec.cornerRadius = cornerRadius.get(view);
  spec.blurRadius = shadowRadius.get(view);
  spec.offset = darkShadowOffset(view);
  spec.color = darkShadowColorOrDefault(view);
  Layer& root = viewLayer(view);
  root.insertSublayer(makeShadowLayer(view, spec), 0);
  spec.name = kShadowLightLayer;
  spec.offset = lightShadowOffset(view);
  spec.color = lightShadowColorOrDefault(view);
  root.insertSublayer(makeShadowLayer(view, spec), 0);  // below the dark one
  setBackgroundColor(view, UIColor::clearColor());
}

}  // namespace quell
