// Speed of the SMS bridge: quellmodem running on a private system bus beside the fake ModemManager of the
// tests, which delivers a burst of 1,000 received messages, each announced with its Added signal and a
// change of the modem's Messages list, as ModemManager does. Every one is junk by a keyword, so each is
// recorded durably in the junk log; the figure is messages judged and recorded per second, with an empty
// log (full_log:0) and with a log as a year of use leaves it (full_log:1: 10,000 entries, 100,000
// fingerprints of judged messages, written as the earlier version wrote them).
#include <benchmark/benchmark.h>

#include <sqlite3.h>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>

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

// How many of the burst's messages (senders 1068...) the log holds.
std::int64_t recorded(sqlite3* db) {
  sqlite3_stmt* query = nullptr;
  std::int64_t count = 0;
  if (sqlite3_prepare_v2(db, "SELECT count(*) FROM junk WHERE sender LIKE '1068%'", -1, &query, nullptr) == SQLITE_OK &&
      sqlite3_step(query) == SQLITE_ROW)
    count = sqlite3_column_int64(query, 0);
  sqlite3_finalize(query);
  return count;
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
  env.insert("QUELL_LOG", "stderr");  // read, to hear when it listens, and thrown away
  QProcess bridge;
  bridge.setProcessEnvironment(env);
  bridge.setProcessChannelMode(QProcess::MergedChannels);
  bridge.start(QUELLMODEM_PATH, {"--quiet"});
  QByteArray said;
  while (!said.contains("following ModemManager") && bridge.waitForReadyRead(20000)) said += bridge.readAll();
  if (!said.contains("following ModemManager")) {
    state.SkipWithError("quellmodem did not start");
    return;
  }
  QDBusConnection control = QDBusConnection::connectToBus(QString::fromStdString(bus.address()), "bench");
  sqlite3* newest = nullptr;
  sqlite3_open(quell::JunkLog::defaultPath().c_str(), &newest);
  std::int64_t judged = 0;
  for (auto _ : state) {
    QDBusMessage burst =
        QDBusMessage::createMethodCall("org.freedesktop.ModemManager1", "/org/freedesktop/ModemManager1",
                                       "app.quell.test.FakeModemManager", "AddMany");
    burst << QString("1068%1-").arg(judged) << QString("回复退订") << static_cast<uint>(kBurst);
    control.call(burst, QDBus::Block, 120000);
    // Until the whole burst is in the log (the log keeps its newest 10,000, so all of these).
    for (int waited = 0; waited < 600000 && recorded(newest) < judged + kBurst; waited += 20)
      if (bridge.waitForReadyRead(20)) bridge.readAll();
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
BENCHMARK(BM_BridgeJudgesABurstOfAThousand)
    ->ArgName("full_log")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
