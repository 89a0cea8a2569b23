#include "platform/dbus_reply.h"

#include <QDBusPendingCallWatcher>

namespace quell {

void whenAnswered(QObject* context, const QDBusPendingCall& call,
                  std::function<void(const QDBusPendingCall& answered)> then) {
  // The watcher is the context's child, so it dies with it and the handler never runs on a dead object.
  auto* watcher = new QDBusPendingCallWatcher(call, context);
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context, [watcher, then = std::move(then)] {
    watcher->deleteLater();
    then(*watcher);
  });
}

bool isServiceMissing(const QDBusError& error) {
  const QString name = error.name();
  // An activatable service that could not be started reports a Spawn error.
  return name == "org.freedesktop.DBus.Error.ServiceUnknown" || name == "org.freedesktop.DBus.Error.NameHasNoOwner" ||
         name.startsWith("org.freedesktop.DBus.Error.Spawn.");
}

}  // namespace quell
