#include "tests/app/phone_services.h"

#include <gtest/gtest.h>

#include "tests/support/private_bus.h"

namespace quell::testing {

namespace {

constexpr const char* kSystemdControl = "app.quell.test.FakeSystemd";
constexpr const char* kModemManagerControl = "app.quell.test.FakeModemManager";

class PrivateBuses : public ::testing::Environment {
 public:
  void SetUp() override {
    session_ = std::make_unique<PrivateBus>("session");
    system_ = std::make_unique<PrivateBus>("system");
    qputenv("DBUS_SESSION_BUS_ADDRESS", QByteArray::fromStdString(session_->address()));
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", QByteArray::fromStdString(system_->address()));
  }
  void TearDown() override {
    system_.reset();
    session_.reset();
  }

 private:
  std::unique_ptr<PrivateBus> session_, system_;
};

[[maybe_unused]] ::testing::Environment* const kPrivateBuses = ::testing::AddGlobalTestEnvironment(new PrivateBuses);

QDBusConnection controlBus(QDBusConnection::BusType type) {
  const char* name = type == QDBusConnection::SessionBus ? "fake-session-control" : "fake-system-control";
  const char* address = type == QDBusConnection::SessionBus ? "DBUS_SESSION_BUS_ADDRESS" : "DBUS_SYSTEM_BUS_ADDRESS";
  return QDBusConnection::connectToBus(qEnvironmentVariable(address), name);
}

QDBusMessage callControl(QDBusConnection::BusType type, const char* service, const char* path, const char* interface,
                         const QString& method, const QVariantList& arguments) {
  QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
  call.setArguments(arguments);
  return controlBus(type).call(call);
}

}  // namespace

FakeServiceProcess::FakeServiceProcess(const QString& script, const QStringList& arguments)
    : process_(std::make_unique<QProcess>()) {
  process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process_->start("/usr/bin/python3", QStringList{QString(QUELL_SOURCE_DIR) + "/" + script} + arguments);
  EXPECT_TRUE(process_->waitForStarted()) << qPrintable(script);
  for (int waited = 0; !process_->canReadLine() && waited < 30000; waited += 50) process_->waitForReadyRead(50);
  EXPECT_EQ(process_->readLine().trimmed(), "ready") << qPrintable(script) << " did not start";
}

FakeServiceProcess::~FakeServiceProcess() { stop(); }

void FakeServiceProcess::stop() {
  if (process_->state() == QProcess::NotRunning) return;
  process_->kill();
  process_->waitForFinished();
}

FakeSystemd::FakeSystemd(const QStringList& flags)
    : process_("tests/support/fake_systemd_user_manager.py", QStringList{"quellmodem.service"} + flags) {}

QDBusMessage FakeSystemd::control(const QString& method, const QVariantList& arguments) {
  return callControl(QDBusConnection::SessionBus, "org.freedesktop.systemd1", "/org/freedesktop/systemd1",
                     kSystemdControl, method, arguments);
}

std::pair<QString, QString> FakeSystemd::state() {
  const QVariantList reply = control("State").arguments();
  if (reply.size() != 2) return {};
  return {reply[0].toString(), reply[1].toString()};
}

QStringList FakeSystemd::calls() {
  const QVariantList reply = control("Calls").arguments();
  return reply.isEmpty() ? QStringList() : reply[0].toStringList();
}

FakeModemManager::FakeModemManager() : process_("tests/modembridge/fake_modem_manager.py", {}) {}

QDBusMessage FakeModemManager::control(const QString& method) {
  return callControl(QDBusConnection::SystemBus, "org.freedesktop.ModemManager1", "/org/freedesktop/ModemManager1",
                     kModemManagerControl, method, {});
}

}  // namespace quell::testing
