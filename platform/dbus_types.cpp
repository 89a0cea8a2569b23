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
  // Qt D-Bus finds the types of a signal's arguments by name when a proxy's signal is connected; one it has
  // not met yet makes it drop that signal without a word.
  qRegisterMetaType<QDBusObjectPath>();
  qDBusRegisterMetaType<UnitFileChange>();
  qDBusRegisterMetaType<UnitFileChanges>();
  qDBusRegisterMetaType<InterfaceProperties>();
  qDBusRegisterMetaType<ManagedObjects>();
}

}  // namespace quell
