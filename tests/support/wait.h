// Waiting in tests and tools that drive Qt: runs the event loop (timers, replies, D-Bus, deferred deletes)
// until a condition holds, so that nothing depends on how fast animations, transfers or other processes
// are on a loaded machine. QtCore only, for GUI and non-GUI programs alike.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QThread>
#include <functional>

namespace quell::testing {

// Runs the event loop until condition holds or timeoutMs pass; whether it holds.
inline bool waitFor(const std::function<bool()>& condition, int timeoutMs = 10000) {
  QElapsedTimer waited;
  waited.start();
  while (!condition()) {
    if (waited.elapsed() >= timeoutMs) return condition();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QThread::msleep(5);
  }
  return true;
}

}  // namespace quell::testing
