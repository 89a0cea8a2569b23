// quellmodem end to end: the real program on a private system bus, beside a fake ModemManager that the
// tests own (tests/modembridge/fake_modem_manager.py), with the real rule store and junk log.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <fstream>
#include <functional>

#include "engine/rule_store.h"
#include "modembridge/junk_log.h"
#include "tests/support/private_bus.h"
#include "tests/support/test_environment.h"

namespace quell {
namespace {

constexpr const char* kControl = "app.quell.test.FakeModemManager";
constexpr unsigned kReceiving = 2, kReceived = 3;

bool eventually(const std::function<bool()>& condition, int timeoutMs = 15000) {
  for (int waited = 0; waited < timeoutMs; waited += 20) {
    if (condition()) return true;
    QCoreApplication::processEvents();
    QThread::msleep(20);
  }
  return condition();
}

class ModemBridgeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(RuleStore::writeLists({{RuleListKind::KeywordBlacklist, {"退订"}}}));
    bus_ = std::make_unique<testing::PrivateBus>("system");
    startManager();
    control_ = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(QString::fromStdString(bus_->address()), "fake-control"));
    ASSERT_TRUE(control_->isConnected());
  }
  void TearDown() override {
    if (bridge_) stopBridge(SIGKILL);
    if (manager_) {
      manager_->kill();
      manager_->waitForFinished();
    }
    control_.reset();
    QDBusConnection::disconnectFromBus("fake-control");
  }

  QProcessEnvironment environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DBUS_SYSTEM_BUS_ADDRESS", QString::fromStdString(bus_->address()));
    env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");  // no desktop here
    env.insert("QUELL_LOG", "stderr");
    return env;
  }
  void startManager() {
    manager_ = std::make_unique<QProcess>();
    manager_->setProcessEnvironment(environment());
    manager_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    manager_->start("/usr/bin/python3", {QString(QUELL_SOURCE_DIR) + "/tests/modembridge/fake_modem_manager.py"});
    ASSERT_TRUE(manager_->waitForStarted());
    ASSERT_TRUE(eventually([&] { return manager_->canReadLine() || manager_->waitForReadyRead(50); }));
    ASSERT_EQ(manager_->readLine().trimmed(), "ready");
  }
  void startBridge(QStringList args, const QProcessEnvironment& env = {}) {
    bridge_ = std::make_unique<QProcess>();
    bridge_->setProcessEnvironment(env.isEmpty() ? environment() : env);
    bridge_->start(QUELLMODEM_PATH, args);
    ASSERT_TRUE(bridge_->waitForStarted());
    QThread::msleep(300);  // it has subscribed before the first SMS arrives
  }
  int stopBridge(int signal) {
    ::kill(static_cast<pid_t>(bridge_->processId()), signal);
    EXPECT_TRUE(bridge_->waitForFinished(5000));
    log_ += bridge_->readAllStandardError().toStdString();
    const int code = bridge_->exitStatus() == QProcess::NormalExit ? bridge_->exitCode() : -1;
    bridge_.reset();
    return code;
  }
  QDBusMessage control(const char* method, const QVariantList& args = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.ModemManager1",
                                                       "/org/freedesktop/ModemManager1", kControl, method);
    call.setArguments(args);
    return control_->call(call, QDBus::Block, 5000);
  }
  QString addSms(const QString& number, const QString& text, unsigned state = kReceived, const QByteArray& data = {},
                 bool broken = false, bool announce = true) {
    QDBusMessage reply = control("AddSms", {number, text, state, data, broken, announce});
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    return reply.arguments().value(0).value<QDBusObjectPath>().path();
  }
  bool stored(const QString& path) {
    QDBusMessage reply = control("Stored");
    for (const auto& p : qdbus_cast<QList<QDBusObjectPath>>(reply.arguments().value(0)))
      if (p.path() == path) return true;
    return false;
  }
  std::vector<JunkEntry> junkLog() {
    auto log = JunkLog::open(JunkLog::defaultPath());
    if (!log) return {};
    auto entries = (*log)->entries();
    return entries ? *entries : std::vector<JunkEntry>();
  }
  std::string bridgeLog() {
    if (bridge_) log_ += bridge_->readAllStandardError().toStdString();
    return log_;
  }

  testing::ScopedDataHome home_;
  std::unique_ptr<testing::PrivateBus> bus_;
  std::unique_ptr<QProcess> manager_, bridge_;
  std::unique_ptr<QDBusConnection> control_;
  std::string log_;
};

TEST_F(ModemBridgeTest, OnceJudgesWhatIsStoredAndDeletesOnlyRecordedJunk) {
  const QString junk = addSms("10690000", "回复TD退订", kReceived, {}, false, false);
  const QString ham = addSms("13900139000", "好的，明天见。", kReceived, {}, false, false);
  QProcess once;
  once.setProcessEnvironment(environment());
  once.start(QUELLMODEM_PATH, {"--once", "--delete-junk", "--quiet"});
  ASSERT_TRUE(once.waitForFinished(20000));
  EXPECT_EQ(once.exitCode(), 0) << once.readAllStandardError().toStdString();
  EXPECT_FALSE(stored(junk));
  EXPECT_TRUE(stored(ham));
  auto entries = junkLog();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].message.sender, "10690000");
  EXPECT_EQ(entries[0].message.body, "回复TD退订");
  EXPECT_EQ(entries[0].message.reasons["stage"], "keyword-blacklist");
  EXPECT_TRUE(entries[0].deleted);
  // Without --delete-junk nothing on the modem changes.
  const QString kept = addSms("10690001", "回复退订", kReceived, {}, false, false);
  once.start(QUELLMODEM_PATH, {"--once", "--quiet"});
  ASSERT_TRUE(once.waitForFinished(20000));
  EXPECT_TRUE(stored(kept));
  EXPECT_EQ(junkLog().size(), 2u);
}

TEST_F(ModemBridgeTest, LiveMessagesAreJudgedOnceReceivedAndOddOnesStopNothing) {
  startBridge({"--delete-junk", "--quiet"});
  const QString live = addSms("10690000", "回复退订");
  EXPECT_TRUE(eventually([&] { return !stored(live); })) << bridgeLog();
  // A multipart message still being received waits until it is whole.
  const QString parts = addSms("10690002", "回复退订", kReceiving);
  QThread::msleep(500);
  EXPECT_TRUE(stored(parts));
  control("SetState", {QVariant::fromValue(QDBusObjectPath(parts)), kReceived});
  EXPECT_TRUE(eventually([&] { return !stored(parts); })) << bridgeLog();
  // A data SMS and one whose properties fail are skipped, and the bridge goes on.
  addSms("10690003", "", kReceived, QByteArray("\x01\x02", 2));
  addSms("10690004", "回复退订", kReceived, {}, true);
  const QString after = addSms("10690005", "回复退订");
  EXPECT_TRUE(eventually([&] { return !stored(after); })) << bridgeLog();
  EXPECT_EQ(junkLog().size(), 3u);
  EXPECT_EQ(stopBridge(SIGTERM), 0);
  const std::string log = bridgeLog();
  EXPECT_NE(log.find("a data SMS holds no text"), std::string::npos) << log;
  EXPECT_NE(log.find("its properties cannot be read"), std::string::npos) << log;
}

TEST_F(ModemBridgeTest, FollowsTheModemAndModemManagerComingBack) {
  startBridge({"--delete-junk", "--quiet"});
  control("RemoveModem");
  control("AddModem");
  const QString again = addSms("10690000", "回复退订");
  EXPECT_TRUE(eventually([&] { return !stored(again); })) << bridgeLog();
  // ModemManager restarts: a stored junk message is found, and new ones are heard.
  manager_->kill();
  manager_->waitForFinished();
  startManager();
  const QString restarted = addSms("10690001", "回复退订");
  EXPECT_TRUE(eventually([&] { return !stored(restarted); })) << bridgeLog();
  EXPECT_EQ(junkLog().size(), 2u);
}

TEST_F(ModemBridgeTest, HooksGetTheMessageButNeverRunIt) {
  testing::TemporaryDirectory dir;
  const auto hook = dir.path() / "hook.sh";
  std::ofstream(hook) << "#!/bin/sh\nprintf '%s' \"$QUELL_BODY\" > \"$0.env\"\ncat > \"$0.stdin\"\n"
                         "printf '%s %s' \"$QUELL_STAGE\" \"$QUELL_SENDER\" > \"$0.stage\"\n";
  std::filesystem::permissions(hook, std::filesystem::perms::owner_all);
  const std::string pwned = (dir.path() / "pwned").string();
  const std::string body = "$(touch " + pwned + ") `touch " + pwned + "` \"quoted\" 'single'\nnext line; rm -rf ~";
  startBridge({"--quiet", "--on-ham", QString::fromStdString(hook.string())});
  addSms("13900139000", QString::fromStdString(body));
  EXPECT_TRUE(eventually([&] { return std::filesystem::exists(hook.string() + ".stage"); })) << bridgeLog();
  QThread::msleep(200);
  auto read = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  EXPECT_EQ(read(hook.string() + ".env"), body);
  EXPECT_EQ(read(hook.string() + ".stdin"), body);
  EXPECT_EQ(read(hook.string() + ".stage"), "model 13900139000");
  EXPECT_FALSE(std::filesystem::exists(pwned));
}

// A hook that hangs is killed after its timeout; judging goes on meanwhile.
TEST_F(ModemBridgeTest, AHangingHookIsKilledAndHoldsNothingUp) {
  QProcessEnvironment env = environment();
  env.insert("QUELL_HOOK_TIMEOUT_MS", "300");
  startBridge({"--quiet", "--delete-junk", "--on-junk", "/bin/sleep 60"}, env);
  const QString first = addSms("10690000", "回复退订");
  const QString second = addSms("10690001", "回复退订");
  EXPECT_TRUE(eventually([&] { return !stored(first) && !stored(second); })) << bridgeLog();
  EXPECT_TRUE(eventually([&] { return bridgeLog().find("ran too long and is killed") != std::string::npos; }))
      << bridgeLog();
  EXPECT_EQ(stopBridge(SIGTERM), 0);
}

// With a notification server on the session bus, junk shows "已拦截垃圾短信" with its sender; --quiet
// shows nothing.
TEST_F(ModemBridgeTest, JunkIsAnnouncedOnTheDesktopUnlessQuiet) {
  testing::PrivateBus session("session");
  testing::TemporaryDirectory dir;
  const std::string record = (dir.path() / "notifications").string();
  QProcessEnvironment env = environment();
  env.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromStdString(session.address()));
  QProcess notifier;
  notifier.setProcessEnvironment(env);
  notifier.start("/usr/bin/python3", {QString(QUELL_SOURCE_DIR) + "/tests/modembridge/fake_notifications.py",
                                      QString::fromStdString(record)});
  ASSERT_TRUE(notifier.waitForReadyRead(20000));
  auto read = [&] {
    std::ifstream in(record);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  startBridge({"--quiet"}, env);
  addSms("10690009", "回复退订");
  EXPECT_TRUE(eventually([&] { return junkLog().size() == 1; }));
  stopBridge(SIGTERM);
  EXPECT_EQ(read(), "");
  startBridge({}, env);
  addSms("10690000", "回复退订");
  EXPECT_TRUE(eventually([&] { return read() == "已拦截垃圾短信\t10690000\n"; })) << read() << bridgeLog();
  addSms("13900139000", "好的，明天见。");  // ham: nothing to announce
  QThread::msleep(500);
  EXPECT_EQ(read(), "已拦截垃圾短信\t10690000\n");
  // The first junk message, still on the modem, was not judged (logged, announced) a second time.
  EXPECT_EQ(junkLog().size(), 2u);
  notifier.kill();
  notifier.waitForFinished();
}

TEST_F(ModemBridgeTest, TheLogSurvivesAKillRightAfterADeleteAndNotJunkLetsTheSenderThrough) {
  startBridge({"--delete-junk", "--quiet"});
  const QString junk = addSms("10690000", "回复退订");
  ASSERT_TRUE(eventually([&] { return !stored(junk); }));
  stopBridge(SIGKILL);
  auto entries = junkLog();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].message.sender, "10690000");
  // The person takes it back: the sender's next message stays on the modem.
  auto taken = testing::runProcess(QUELLLOG_PATH, {"not-junk", std::to_string(entries[0].id)});
  ASSERT_EQ(taken.exitCode, 0) << taken.err;
  startBridge({"--delete-junk", "--quiet"});
  const QString next = addSms("10690000", "回复退订");
  QThread::msleep(1500);
  EXPECT_TRUE(stored(next)) << bridgeLog();
  EXPECT_EQ(junkLog().size(), 1u);
}

}  // namespace
}  // namespace quell
