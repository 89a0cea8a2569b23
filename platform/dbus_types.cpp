#include "platform/dbus_types.h"

#include <QDBusMetaType>

namespace quell {

QDBusArgument& operator<<(QDBusArgument& argument, const UnitFileChange& change) {
  argument.beginStructure();
  argument << change.type << change.file << change.destination;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, UnitFileChange& change) {
  argument.beginStructure();
  argument >> change.type >> change.file >> change.destination;
  argument.endStructure();
  return argument;
}

void registerDBusTypes() {
  qDBusRegisterMetaType<UnitFileChange>();
  qDBusRegisterMetaType<UnitFileChanges>();
  qDBusRegisterMetaType<InterfaceProperties>();
  qDBusRegisterMetaType<ManagedObjects>();
}

}  // namespace quell
