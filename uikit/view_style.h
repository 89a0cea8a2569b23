// The soft, extruded look for any widget: the widget's face is a rounded rectangle in its own background
// colour, with a dark shadow to one side and a light shadow to the other, so that it seems to rise out of a
// background of the same colour.
//
// Configure the properties (each settable by name, also from .ui files), then call applyNeumorphicStyle
// after the widget has its size and background colour. It acts only on a widget whose `active` was set to
// true explicitly. Applying again replaces the layers of the earlier application (never stacks them) and
// keeps the face colour, which lives on in the faces: the widget's own background reads transparent after.
// Main thread only.
#pragma once

#include "uikit/style_property.h"

class QWidget;

namespace quell {

inline constexpr StyleProperty<bool> active{"active", true};
inline constexpr StyleProperty<double> cornerRadius{"cornerRadius", 0};
inline constexpr StyleProperty<double> shadowRadius{"shadowRadius", 4};
inline constexpr StyleProperty<bool> cornersLeft{"cornersLeft", true};
inline constexpr StyleProperty<bool> cornersRight{"cornersRight", true};
inline constexpr StyleProperty<bool> reverse{"reverse", false};
inline constexpr StyleProperty<double> shadowDarkOffsetX{"shadowDarkOffsetX", 2};
inline constexpr StyleProperty<double> shadowDarkOffsetY{"shadowDarkOffsetY", 2};
inline constexpr StyleProperty<double> shadowLightOffsetX{"shadowLightOffsetX", 2};
inline constexpr StyleProperty<double> shadowLightOffsetY{"shadowLightOffsetY", 2};
inline constexpr ColorStyleProperty darkShadowColor{"darkShadowColor"};
inline constexpr ColorStyleProperty lightShadowColor{"lightShadowColor"};

void applyNeumorphicStyle(QWidget* view);

}  // namespace quell
