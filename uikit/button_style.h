// The soft look for buttons, with a pressed state: while pressed the two shadows swap sides so that the
// face seems pushed in; a toggle button stays pushed in until the next press and switches between its
// normal and its pressed face colour; a press can give haptic feedback.
//
// It applies to every button whose `active` was set to true (the view style's property), without
// subclassing: installNeumorphicHooks() (neumorphic_hooks.h) installs one application-wide event filter
// that restyles such buttons when they are shown, resized or enabled or disabled, draws their title and
// icon over the faces, and handles their presses. A button never set active behaves as Qt made it.
// Main thread only.
#pragma once

#include "uikit/style_property.h"

class QAbstractButton;

namespace quell {

// 0: no feedback; 1 to 5: one impact of style hapticLevel - 1 (light, medium, heavy, soft, rigid) on press.
inline constexpr StyleProperty<int> hapticLevel{"hapticLevel", 0};
// Reads true when unset, but only an explicit true makes a toggle button.
inline constexpr StyleProperty<bool> isToggle{"isToggle", true};
inline constexpr ColorStyleProperty normalColor{"normalColor"};
inline constexpr ColorStyleProperty highligthColor{"highligthColor"};
// The button's selected state (a toggle button that is pushed in).
inline constexpr StyleProperty<bool> selected{"selected", false};

// Rebuilds the button's shadow layers from its current state. A disabled button keeps its faces but casts
// no shadows.
void applyButtonStyle(QAbstractButton* button);

// What a press and its end do to an active button (called by the event filter).
void buttonTouchesBegan(QAbstractButton* button);
void buttonTouchesEnded(QAbstractButton* button);

}  // namespace quell
