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
#include <sqlite3.h>

#include "engine/rule_store.h"
#include "modembridge/junk_log.h"
#include "tests/support/private_bus.h"
#include "tests/support/test_environment.h"

namespace {

constexpr int kBurst = 1000;

// A log as a year of use leaves it: 10,000 entries and 100,000 fingerprints of judged messages.
void fillLog(const std::filesystem::path& path) {
  std::filesystem::create_directories(path.parent_path());
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_exec(db,
               "PRAGMA journal_mode=WAL;"
               "CREATE TABLE IF NOT EXISTS junk(id INTEGER PRIMARY KEY AUTOINCREMENT, logged TEXT NOT NULL,"
               " received TEXT NOT NULL, modem TEXT NOT NULL, sender TEXT NOT NULL, body TEXT NOT NULL,"
               " reasons TEXT NOT NULL, deleted INTEGER NOT NULL DEFAULT 0, not_junk INTEGER NOT NULL DEFAULT 0);"
               "CREATE TABLE IF NOT EXISTS judged(fingerprint TEXT PRIMARY KEY, judged TEXT NOT NULL);"
               "BEGIN;"
               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000)"
               " INSERT INTO junk(logged, received, modem, sender, body, reasons, deleted)"
               " SELECT strftime('%Y-%m-%dT%H:%M:%SZ', 'now', '-' || (10000 - i) || ' minutes'), '',"
               " '/org/freedesktop/ModemManager1/Modem/0', '1069' || i, '回复退订 ' || i,"
               " '{\"stage\":\"keyword-blacklist\",\"matched\":[\"退订\"]}', 1 FROM n;"
               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000)"
               " INSERT INTO judged(fingerprint, judged) SELECT lower(hex(randomblob(32))),"
               " strftime('%Y-%m-%dT%H:%M:%SZ', 'now', '-' || (100000 - i) || ' minutes') FROM n;"
               "COMMIT;",
               nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

std::string newestSender(sqlite3* db) {
  sqlite3_stmt* query = nullptr;
  std::string sender;
  if (sqlite3_prepare_v2(db, "SELECT sender FROM junk ORDER BY id DESC LIMIT 1", -1, &query, nullptr) == SQLITE_OK &&
      sqlite3_step(query) == SQLITE_ROW)
    sender = reinterpret_cast<const char*>(sqlite3_column_text(query, 0));
  sqlite3_finalize(query);
  return sender;
}

void BM_BridgeJudgesABurstOfAThousand(benchmark::State& state) {
  quell::testing::ScopedDataHome home;
  if (!quell::RuleStore::writeLists({{quell::RuleListKind::KeywordBlacklist, {"退订"}}})) abort();
  if (state.range(0)) fillLog(quell::JunkLog::defaultPath());
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
  sqlite3* newest = nullptr;
  sqlite3_open(quell::JunkLog::defaultPath().c_str(), &newest);
  std::int64_t judged = 0;
  for (auto _ : state) {
    QDBusMessage burst =
        QDBusMessage::createMethodCall("org.freedesktop.ModemManager1", "/org/freedesktop/ModemManager1",
                                       "app.quell.test.FakeModemManager", "AddMany");
    burst << QString("1069%1").arg(judged) << QString("回复退订") << static_cast<uint>(kBurst);
    control.call(burst, QDBus::Block, 120000);
    // Until the burst's last message is in the log: its newest entry, read without reading the rest.
    const std::string last = QString("1069%1%2").arg(judged).arg(kBurst - 1).toStdString();
    for (int waited = 0; waited < 300000 && newestSender(newest) != last; waited += 5) QThread::msleep(5);
    judged += kBurst;
  }
  state.SetItemsProcessed(judged);
  bridge.terminate();
  bridge.waitForFinished();
  manager.kill();
  manager.waitForFinished();
  QDBusConnection::disconnectFromBus("bench");
  sqlite3_close(newest);
}
BENCHMARK(BM_BridgeJudgesABurstOfAThousand)->ArgName("full_log")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
