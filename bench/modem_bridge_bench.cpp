// Speed of the SMS bridge: quellmodem running on a private system bus beside the fake ModemManager of the
// tests, which delivers a burst of 1,000 received messages, each announced with its Added signal. Every
// one is junk by a keyword, so each is recorded durably in the junk log (one disk flush each) before the
// next; the figure is messages judged and recorded per second.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QThread>

#include "engine/rule_store.h"
#include "modembridge/junk_log.h"
#include "tests/support/private_bus.h"
#include "tests/support/test_environment.h"

namespace {

constexpr int kBurst = 1000;

void BM_BridgeJudgesABurstOfAThousand(benchmark::State& state) {
  quell::testing::ScopedDataHome home;
  if (!quell::RuleStore::writeLists({{quell::RuleListKind::KeywordBlacklist, {"退订"}}})) abort();
  quell::testing::PrivateBus bus("system");
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("DBUS_SYSTEM_BUS_ADDRESS", QString::fromStdString(bus.address()));
  env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
  env.insert("QUELL_LOG", "/dev/null");  // not stderr: the figure is the bridge's, not the terminal's
  QProcess manager;
  manager.setProcessEnvironment(env);
  manager.start("/usr/bin/python3", {QString(QUELL_SOURCE_DIR) + "/tests/modembridge/fake_modem_manager.py"});
  if (!manager.waitForReadyRead(20000)) {
    state.SkipWithError("the fake ModemManager did not start (python3-dbus and python3-gi are needed)");
    return;
  }
  QProcess bridge;
  bridge.setProcessEnvironment(env);
  bridge.setStandardErrorFile(QProcess::nullDevice());
  bridge.start(QUELLMODEM_PATH, {"--quiet"});
  bridge.waitForStarted();
  QThread::msleep(500);
  QDBusConnection control = QDBusConnection::connectToBus(QString::fromStdString(bus.address()), "bench");
  auto log = quell::JunkLog::open(quell::JunkLog::defaultPath());
  std::int64_t judged = 0;
  for (auto _ : state) {
    QDBusMessage burst =
        QDBusMessage::createMethodCall("org.freedesktop.ModemManager1", "/org/freedesktop/ModemManager1",
                                       "app.quell.test.FakeModemManager", "AddMany");
    burst << QString("1069%1").arg(judged) << QString("回复退订") << static_cast<uint>(kBurst);
    control.call(burst, QDBus::Block, 120000);
    for (int waited = 0; waited < 300000; waited += 5) {
      auto entries = (*log)->entries();
      if (entries && static_cast<std::int64_t>(entries->size()) >= judged + kBurst) break;
      QThread::msleep(5);
    }
    judged += kBurst;
  }
  state.SetItemsProcessed(judged);
  bridge.terminate();
  bridge.waitForFinished();
  manager.kill();
  manager.waitForFinished();
  QDBusConnection::disconnectFromBus("bench");
}
BENCHMARK(BM_BridgeJudgesABurstOfAThousand)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
