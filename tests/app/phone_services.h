// The phone's own services, as the app's tests meet them. Every test of the app runs on a private session
// bus and a private system bus, set up once for the test program before the first test (a global test
// environment), so that no test reaches the desktop's own services. On them a test starts the fakes it
// needs, each a process it owns, stopped with the object: systemd's user manager
// (tests/support/fake_systemd_user_manager.py) and ModemManager (tests/modembridge/fake_modem_manager.py).
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QStringList>
#include <memory>
#include <utility>

namespace quell::testing {

// A fake service's process, started and ready (it has said so) when constructed.
class FakeServiceProcess {
 public:
  FakeServiceProcess(const QString& script, const QStringList& arguments);
  ~FakeServiceProcess();
  // Kills it now: its name leaves the bus.
  void stop();

 private:
  std::unique_ptr<QProcess> process_;
};

// systemd's user manager with one unit, quellmodem.service.
class FakeSystemd {
 public:
  // flags: "--installed", "--enabled", "--active", "--masked".
  explicit FakeSystemd(const QStringList& flags);

  // A method of its control interface (app.quell.test.FakeSystemd); the reply, which the test checks.
  QDBusMessage control(const QString& method, const QVariantList& arguments = {});
  // The unit file state and the active state, as the manager holds them.
  std::pair<QString, QString> state();
  // The manager's methods called so far, in order.
  QStringList calls();

 private:
  FakeServiceProcess process_;
};

// ModemManager with one modem.
class FakeModemManager {
 public:
  FakeModemManager();
  QDBusMessage control(const QString& method);
  void stop() { process_.stop(); }

 private:
  FakeServiceProcess process_;
};

}  // namespace quell::testing
