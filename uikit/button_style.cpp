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
  ShadowStyle style;
  style.faceColor = selected.get(button) ? pressed : normal;
  style.castsShadows = button->isEnabled();
  // Above the button's other layers, right below its title and icon.
  style.placement = ShadowStyle::Placement::kTop;
  addShadowLayers(button, style);
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
