// The D-Bus container types of the system services Quell's clients call, for the proxies generated from
// their interface XML (resources/dbus/): systemd's list of unit-file changes, and the standard object
// manager's map of objects to their interfaces and properties. registerDBusTypes() makes them, and the
// object path, known to Qt D-Bus; call it before connecting a proxy's signals or making a call that
// carries them (the clients do). Main thread only.
#pragma once

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QList>
#include <QMap>
#include <QString>
#include <QVariantMap>

namespace quell {

// One change systemd made to the unit files: type "symlink" or "unlink", the link, and where it points.
struct UnitFileChange {
  QString type;
  QString file;
  QString destination;
};
using UnitFileChanges = QList<UnitFileChange>;

// Interface name -> its properties, for one object.
using InterfaceProperties = QMap<QString, QVariantMap>;
using ManagedObjects = QMap<QDBusObjectPath, InterfaceProperties>;

QDBusArgument& operator<<(QDBusArgument& argument, const UnitFileChange& change);
const QDBusArgument& operator>>(const QDBusArgument& argument, UnitFileChange& change);

void registerDBusTypes();

}  // namespace quell

Q_DECLARE_METATYPE(quell::UnitFileChange)
Q_DECLARE_METATYPE(quell::UnitFileChanges)
Q_DECLARE_METATYPE(quell::InterfaceProperties)
Q_DECLARE_METATYPE(quell::ManagedObjects)
