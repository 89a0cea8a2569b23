// TraitCollection: the appearance (light or dark) that colours are resolved against when they are drawn.
//
// The current appearance follows the desktop's colour scheme as far as Qt 6.4 can tell it (a dark window
// colour in the application palette means dark), unless it is overridden: by QUELL_APPEARANCE=light|dark in
// the environment, or by setOverride (for tests and for users who want one appearance). Changing it repaints
// every widget, so dynamic colours show their other variant at once. Main thread only.
#pragma once

#include <optional>

namespace quell {

enum class UIUserInterfaceStyle : int { Unspecified = 0, Light = 1, Dark = 2 };

struct TraitCollection {
  UIUserInterfaceStyle userInterfaceStyle = UIUserInterfaceStyle::Unspecified;

  static TraitCollection current();
  // Forces an appearance (nullopt: follow the desktop again) and repaints every widget.
  static void setOverride(std::optional<UIUserInterfaceStyle> style);
  // From now on, a change of the desktop's colour scheme (a new application palette) repaints every
  // widget and its shadows, as setOverride does. Call once, after the application object exists.
  static void followDesktopAppearance();
};

}  // namespace quell
