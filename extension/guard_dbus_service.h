// The filter on the D-Bus session bus, for messaging apps that ask before they show a message: name
// app.quell.Guard, object /app/quell/Guard, interface app.quell.Guard1, as resources/app.quell.Guard1.xml
// describes it (the adaptor that puts this object on the bus is generated from that file).
//
// Each call reads the lists and loads the model afresh, as the filter does. The service quits after it has
// been idle for a while, so the bus can start it on demand (a D-Bus service file names quellguard --dbus).
// Calls run on the main thread, one at a time.
#pragma once

#include <QObject>
#include <QTimer>
#include <QVariantMap>
#include <chrono>

namespace quell {

inline constexpr const char* kGuardServiceName = "app.quell.Guard";
inline constexpr const char* kGuardObjectPath = "/app/quell/Guard";
inline constexpr const char* kGuardInterface = "app.quell.Guard1";

class GuardDBusService : public QObject {
  Q_OBJECT

 public:
  explicit GuardDBusService(std::chrono::milliseconds idleLimit, QObject* parent = nullptr);

  // "junk" or "none", the filter's offline verdict.
  QString HandleQueryRequest(const QString& sender, const QString& body);
  // The decision behind the verdict: "action", "stage", "matched" (as) and, for the model, "score",
  // "threshold", "bias" (d) and "words" (aa{sv}), or "modelError" (s).
  QVariantMap Explain(const QString& sender, const QString& body);

 signals:
  void idle();  // nothing was asked for idleLimit

 private:
  void touched();
  QTimer idleTimer_;
};

// Serves the filter on the session bus until idle; the process's exit status. 1 when the bus cannot be
// reached or the name is taken.
int runGuardDBusService(int argc, char** argv);

}  // namespace quell
