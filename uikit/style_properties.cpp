#include "uikit/style_properties.h"

namespace quell::style_properties {

namespace {

std::optional<QVariant> stored(const QObject* object, const char* name) {
  QVariant value = object->property(name);
  if (!value.isValid()) return std::nullopt;
  return value;
}

}  // namespace

std::optional<bool> boolValue(const QObject* object, const char* name) {
  auto value = stored(object, name);
  if (!value || !value->canConvert<bool>()) return std::nullopt;
  return value->toBool();
}

std::optional<double> doubleValue(const QObject* object, const char* name) {
  auto value = stored(object, name);
  bool ok = false;
  double d = value ? value->toDouble(&ok) : 0;
  if (!ok) return std::nullopt;
  return d;
}

std::optional<int> intValue(const QObject* object, const char* name) {
  auto value = stored(object, name);
  bool ok = false;
  int i = value ? value->toInt(&ok) : 0;
  if (!ok) return std::nullopt;
  return i;
}

std::optional<UIColor> colorValue(const QObject* object, const char* name) {
  auto value = stored(object, name);
  if (!value) return std::nullopt;
  if (value->canConvert<UIColor>() && value->userType() == qMetaTypeId<UIColor>()) return value->value<UIColor>();
  if (value->userType() == QMetaType::QColor) return UIColor(value->value<QColor>());
  return std::nullopt;
}

void setValue(QObject* object, const char* name, const QVariant& value) { object->setProperty(name, value); }

void setColor(QObject* object, const char* name, const UIColor& color) {
  object->setProperty(name, QVariant::fromValue(color));
}

}  // namespace quell::style_properties
