// The per-object store of the UI kit's style properties.
//
// Every property is a Qt dynamic property of the object, under the property's own name ("active",
// "cornerRadius", ...), so it can be set by name from code or from a Qt Designer .ui file, and it lives and
// dies with the object: a widget created later at a dead widget's address starts unset. A property that was
// never set reads as nullopt here; each style gives its own unset value.
#pragma once

#include <QObject>
#include <QVariant>
#include <optional>

#include "platform/ui/ui_color.h"

Q_DECLARE_METATYPE(quell::UIColor)

namespace quell::style_properties {

std::optional<bool> boolValue(const QObject* object, const char* name);
std::optional<double> doubleValue(const QObject* object, const char* name);
std::optional<int> intValue(const QObject* object, const char* name);
// Takes a UIColor or a QColor (what a .ui file stores).
std::optional<UIColor> colorValue(const QObject* object, const char* name);

void setValue(QObject* object, const char* name, const QVariant& value);
void setColor(QObject* object, const char* name, const UIColor& color);

}  // namespace quell::style_properties
