// Waiting for the answer to an asynchronous D-Bus call without blocking, and reading what a failed call says
// about the service it went to. Main thread only.
#pragma once

#include <QDBusError>
#include <QDBusPendingCall>
#include <functional>

class QObject;

namespace quell {

// Calls then(call) once the answer (or the error) has come, on the thread of context; never after context
// is destroyed.
void whenAnswered(QObject* context, const QDBusPendingCall& call,
                  std::function<void(const QDBusPendingCall& answered)> then);

// True when the error says that nothing serves the called name on the bus and none could be started.
bool isServiceMissing(const QDBusError& error);

}  // namespace quell
