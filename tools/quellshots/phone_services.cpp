#include "tools/quellshots/phone_services.h"

#include <cstdio>

namespace quell {

PhoneServices::PhoneServices() {
  const QByteArray address = startAndReadLine("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
  qputenv("DBUS_SESSION_BUS_ADDRESS", address.isEmpty() ? QByteArray("unix:path=/nonexistent") : address);
  qputenv("DBUS_SYSTEM_BUS_ADDRESS", address.isEmpty() ? QByteArray("unix:path=/nonexistent") : address);
  if (address.isEmpty()) return;
  const QString fakes = QUELL_SOURCE_DIR;
  for (const QStringList& fake : {QStringList{fakes + "/tests/support/fake_systemd_user_manager.py",
                                              "quellmodem.service", "--installed", "--enabled", "--active"},
                                  QStringList{fakes + "/tests/modembridge/fake_modem_manager.py"}}) {
    if (startAndReadLine("/usr/bin/python3", fake) != "ready")
      std::fprintf(stderr, "quellshots: %s did not start; the settings page shows it missing\n",
                   qPrintable(fake.front()));
  }
}

PhoneServices::~PhoneServices() {
  for (auto process = processes_.rbegin(); process != processes_.rend(); ++process) {
    (*process)->kill();
    (*process)->waitForFinished();
  }
}

QByteArray PhoneServices::startAndReadLine(const QString& program, const QStringList& arguments) {
  auto& process = processes_.emplace_back(std::make_unique<QProcess>());
  process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process->start(program, arguments);
  if (!process->waitForStarted()) return {};
  while (!process->canReadLine() && process->waitForReadyRead(30000)) {
  }
  return process->readLine().trimmed();
}

}  // namespace quell
