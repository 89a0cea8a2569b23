#include "uikit/button_style.h"

#include <QAbstractButton>

#include "platform/ui/impact_feedback.h"
#include "platform/ui/layer_effect.h"
#include "platform/ui/view_background.h"
#include "uikit/neumorphic_layers.h"
#include "uikit/view_style.h"

namespace quell {

namespace {

bool explicitlyTrue(const QObject* object, const StyleProperty<bool>& property) {
  return property.stored(object).value_or(false);
}

// The face colour for a state: the state's colour property when set, else the background colour; no
// background colour at all gives a transparent face.
UIColor faceFill(QAbstractButton* button, const ColorStyleProperty& stateColor) {
  auto background = backgroundColor(button);
  if (!background) return UIColor::clearColor();
  return stateColor.stored(button).value_or(*background);
}

}  // namespace

void applyButtonStyle(QAbstractButton* button) {
  removeShadowLayers(button);
  UIColor normal = faceFill(button, normalColor), pressed = faceFill(button, highligthColor);
  ShadowLayerSpec spec;
  spec.name = kShadowDarkLayer;
  spec.faceColor = selected.get(button) ? pressed : normal;
  spec.corners = selectedCorners(button);
  spec.cornerRadius = cornerRadius.get(button);
  spec.blurRadius = 4;
  spec.offset = darkShadowOffset(button);
  spec.color = button->isEnabled() ? darkShadowColorOrDefault(button) : UIColor::clearColor();
  Layer& root = viewLayer(button);
  // Both go on top of the other layers (right below the title and icon), the light one above the dark one.
  root.addSublayer(makeShadowLayer(button, spec));
  spec.name = kShadowLightLayer;
  spec.offset = lightShadowOffset(button);
  spec.color = button->isEnabled() ? lightShadowColorOrDefault(button) : UIColor::clearColor();
  root.addSublayer(makeShadowLayer(button, spec));
  setBackgroundColor(button, UIColor::clearColor());
}

void buttonTouchesBegan(QAbstractButton* button) {
  reverse.set(button, !reverse.get(button));
  applyButtonStyle(button);
  // The background is transparent now, so an unset state colour gives a transparent face.
  UIColor background = backgroundColor(button).value_or(UIColor::clearColor());
  UIColor normal = normalColor.stored(button).value_or(background);
  UIColor pressed = highligthColor.stored(button).value_or(background);
  if (explicitlyTrue(button, isToggle)) {
    selected.set(button, !selected.get(button));
    for (const auto& layer : viewLayer(button).sublayers())
      if ((layer->name == kShadowDarkLayer || layer->name == kShadowLightLayer) && !layer->sublayers().empty())
        layer->sublayers().front()->backgroundColor = selected.get(button) ? pressed : normal;
    layersChanged(button);
  }
  if (int level = hapticLevel.get(button); level != 0) UIImpactFeedbackGenerator(level - 1).impactOccurred();
}

void buttonTouchesEnded(QAbstractButton* button) {
  if (explicitlyTrue(button, isToggle)) return;  // a toggle button stays pushed in
  reverse.set(button, !reverse.get(button));
  applyButtonStyle(button);
}

}  // namespace quell
