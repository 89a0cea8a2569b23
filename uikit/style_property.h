// A named style property of every object, kept in the object's per-object store (style_properties.h):
//   cornerRadius.set(view, 20);  cornerRadius.get(view);  cornerRadius.stored(view)
// get() gives the unset value when the property was never set; stored() tells "never set" apart, which
// the styles need (a never-set `active` reads true but styles nothing).
#pragma once

#include <QObject>
#include <optional>

#include "uikit/style_properties.h"

namespace quell {

template <typename T>
struct StyleProperty {
  const char* name;
  T unset;

  std::optional<T> stored(const QObject* object) const {
    if constexpr (std::is_same_v<T, bool>)
      return style_properties::boolValue(object, name);
    else if constexpr (std::is_same_v<T, int>)
      return style_properties::intValue(object, name);
    else
      return style_properties::doubleValue(object, name);
  }
  T get(const QObject* object) const { return stored(object).value_or(unset); }
  void set(QObject* object, T value) const { style_properties::setValue(object, name, QVariant::fromValue(value)); }
};

// Colour properties read as black when unset.
struct ColorStyleProperty {
  const char* name;

  std::optional<UIColor> stored(const QObject* object) const { return style_properties::colorValue(object, name); }
  UIColor get(const QObject* object) const { return stored(object).value_or(UIColor::blackColor()); }
  void set(QObject* object, const UIColor& color) const { style_properties::setColor(object, name, color); }
};

}  // namespace quell
