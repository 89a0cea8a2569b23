// The phone's own services for the screen tour, so that the settings page shows a phone where the filter
// is on: a private D-Bus daemon serving as both the session and the system bus, with the tests' fakes of
// systemd's user manager (quellmodem.service enabled and running) and of ModemManager (one modem). Without
// dbus-daemon, /usr/bin/python3 (with python3-dbus) or the fakes, the buses point at that daemon or nowhere, and the
// page shows what it then shows: that it cannot ask. Start it before the application object; it stops with the object.
#pragma once

#include <QProcess>
#include <memory>
#include <vector>

namespace quell {

class PhoneServices {
 public:
  PhoneServices();
  ~PhoneServices();
  PhoneServices(const PhoneServices&) = delete;
  PhoneServices& operator=(const PhoneServices&) = delete;

 private:
  // Starts a process and waits for the first line it writes: the bus's address, or a fake's "ready".
  QByteArray startAndReadLine(const QString& program, const QStringList& arguments);

  std::vector<std::unique_ptr<QProcess>> processes_;  // the daemon first, so that it stops last
};

}  // namespace quell
