// quellmodem end to end: the real program on a private system bus, beside a fake ModemManager that the
// tests own (tests/modembridge/fake_modem_manager.py), with the real rule store and junk log.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QProcess>
#include <fstream>
#include <functional>

#include "engine/junk_deletion_setting.h"
#include "engine/rule_store.h"
#include "modembridge/junk_log.h"
#include "tests/support/private_bus.h"
#include "tests/support/test_environment.h"
#include "tests/support/wait.h"

namespace quell {
namespace {

constexpr const char* kControl = "app.quell.test.FakeModemManager";
constexpr unsigned kReceiving = 2, kReceived = 3;

using testing::fileContents;

// The one way these tests wait: until the condition holds (a log line, a state). The limit, generous for the
// other processes on a busy machine, only turns a hang into a failure.
bool eventually(const std::function<bool()>& condition, int timeoutMs = 30000) {
  return testing::waitFor(condition, timeoutMs);
}

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t found = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++found;
  return found;
}

// An executable shell script `name` in dir running `commands`; its path.
std::string script(const testing::TemporaryDirectory& dir, const char* name, const std::string& commands) {
  const auto path = dir.path() / name;
  std::ofstream(path) << "#!/bin/sh\n" << commands;
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
  return path.string();
}

// A hook command that appends "<sender>\n" to the file `record`.
QString recordingHook(const testing::TemporaryDirectory& dir, const std::string& record) {
  return QString::fromStdString(script(dir, "record.sh", "printf '%s\\n' \"$QUELL_SENDER\" >> \"$1\"\n") + " " +
                                record);
}

class ModemBridgeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(RuleStore::writeLists({{RuleListKind::KeywordBlacklist, {"退订"}},
                                       {RuleListKind::KeywordWhitelist, {}},
                                       {RuleListKind::NumberBlacklist, {"10690666"}}}));
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
  // Starts the bridge and waits until it listens (or has ended).
  void startBridge(const QStringList& args, const QProcessEnvironment& env = {}) {
    bridge_ = std::make_unique<QProcess>();
    bridge_->setProcessEnvironment(env.isEmpty() ? environment() : env);
    bridge_->start(QUELLMODEM_PATH, args);
    ASSERT_TRUE(bridge_->waitForStarted());
    ASSERT_TRUE(eventually([&] {
      return bridgeSaid("following ModemManager") || bridge_->state() == QProcess::NotRunning;
    })) << bridgeLog();
  }
  int stopBridge(int signal) {
    ::kill(static_cast<pid_t>(bridge_->processId()), signal);
    EXPECT_TRUE(bridge_->waitForFinished(10000));
    return finishedBridge();
  }
  // The exit code of a bridge that ended, -1 for a signal.
  int finishedBridge() {
    log_ += bridge_->readAllStandardError().toStdString();
    const int code = bridge_->exitStatus() == QProcess::NormalExit ? bridge_->exitCode() : -1;
    bridge_.reset();
    return code;
  }
  QDBusMessage control(const char* method, const QVariantList& args = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.ModemManager1",
                                                       "/org/freedesktop/ModemManager1", kControl, method);
    call.setArguments(args);
    QDBusMessage reply = control_->call(call, QDBus::Block, 30000);
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << method << reply.errorMessage().toStdString();
    return reply;
  }
  QString addSms(const QString& number, const QString& text, unsigned state = kReceived, const QByteArray& data = {},
                 bool broken = false, bool announce = true) {
    return control("AddSms", {number, text, state, data, broken, announce})
        .arguments()
        .value(0)
        .value<QDBusObjectPath>()
        .path();
  }
  QList<QDBusObjectPath> storedMessages() {
    return qdbus_cast<QList<QDBusObjectPath>>(control("Stored").arguments().value(0));
  }
  bool stored(const QString& path) { return storedMessages().contains(QDBusObjectPath(path)); }
  std::vector<JunkEntry> junkLog() {
    auto log = JunkLog::openForReading(JunkLog::defaultPath());
    if (!log) return {};
    auto entries = (*log)->entries();
    return entries ? *entries : std::vector<JunkEntry>();
  }
  std::vector<JunkEntry> entriesFrom(const std::string& sender) {
    std::vector<JunkEntry> found;
    for (auto& entry : junkLog())
      if (entry.message.sender == sender) found.push_back(entry);
    return found;
  }
  // The one junk entry from sender, deleted from the modem and no longer pending.
  bool finishedOnce(const std::string& sender) {
    auto entries = entriesFrom(sender);
    return entries.size() == 1 && entries[0].deleted && !entries[0].pending;
  }
  std::string bridgeLog() {
    if (bridge_) log_ += bridge_->readAllStandardError().toStdString();
    return log_;
  }
  bool bridgeSaid(const std::string& line) { return bridgeLog().find(line) != std::string::npos; }
  void limitFileSize(rlim_t bytes) {
    ASSERT_EQ(bridge_->state(), QProcess::Running);
    rlimit limit{};
    ASSERT_EQ(prlimit(static_cast<pid_t>(bridge_->processId()), RLIMIT_FSIZE, nullptr, &limit), 0);
    limit.rlim_cur = bytes == RLIM_INFINITY ? limit.rlim_max : bytes;
    ASSERT_EQ(prlimit(static_cast<pid_t>(bridge_->processId()), RLIMIT_FSIZE, &limit, nullptr), 0);
  }

  testing::ScopedDataHome home_;
  std::unique_ptr<testing::PrivateBus> bus_;
  std::unique_ptr<QProcess> manager_, bridge_;
  std::unique_ptr<QDBusConnection> control_;
  std::string log_;
};

TEST_F(ModemBridgeTest, OnceJudgesWhatIsStoredAndSaysWhenItCannot) {
  const QString junk = addSms("10690000", "回复TD退订", kReceived, {}, false, false);
  const QString ham = addSms("13900139000", "好的，明天见。", kReceived, {}, false, false);
  auto once = [&](const std::vector<std::string>& args) {
    return testing::runProcess(
        QUELLMODEM_PATH, args, "",
        {{"DBUS_SYSTEM_BUS_ADDRESS", bus_->address()}, {"DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent"}});
  };
  auto ran = once({"--once", "--delete-junk", "--quiet"});
  EXPECT_EQ(ran.exitCode, 0) << ran.err;
  EXPECT_FALSE(stored(junk));
  EXPECT_TRUE(stored(ham));
  EXPECT_TRUE(finishedOnce("10690000"));
  auto entries = junkLog();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].message.body, "回复TD退订");
  EXPECT_EQ(entries[0].message.reasons["stage"], "keyword-blacklist");
  // Without --delete-junk nothing on the modem changes.
  const QString kept = addSms("10690001", "回复退订", kReceived, {}, false, false);
  EXPECT_EQ(once({"--once", "--quiet"}).exitCode, 0);
  EXPECT_TRUE(stored(kept));
  EXPECT_EQ(junkLog().size(), 2u);
  // A gateway that never ran the app got the default lists where it had none; its own lists stayed.
  EXPECT_EQ(RuleStore::storedList(RuleListKind::NumberWhitelist), DefaultRuleLists(RuleListKind::NumberWhitelist));
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordBlacklist), std::vector<std::string>{"退订"});
  // A refused Delete leaves the message pending, and cron hears of it.
  control("RefuseDelete", {true});
  const QString refused = addSms("10690002", "回复退订", kReceived, {}, false, false);
  ran = once({"--once", "--delete-junk", "--quiet"});
  EXPECT_EQ(ran.exitCode, 1);
  EXPECT_NE(ran.err.find("1 messages are still pending"), std::string::npos) << ran.err;
  EXPECT_TRUE(stored(refused));
  // No ModemManager: an error, not success.
  manager_->kill();
  manager_->waitForFinished();
  ran = once({"--once", "--quiet"});
  EXPECT_EQ(ran.exitCode, 1);
  EXPECT_NE(ran.err.find("ModemManager is not reachable"), std::string::npos) << ran.err;
  // Bad values are refused, never read as something else.
  ran = testing::runProcess(QUELLMODEM_PATH, {"--once"}, "", {{"QUELL_HOOK_TIMEOUT_MS", "soon"}});
  EXPECT_EQ(ran.exitCode, 1);
  EXPECT_NE(ran.err.find("QUELL_HOOK_TIMEOUT_MS"), std::string::npos) << ran.err;
  EXPECT_EQ(testing::runProcess(QUELLMODEM_PATH, {"--keep-days", "3x"}).exitCode, 2);
}

TEST_F(ModemBridgeTest, LiveMessagesAreJudgedOnceReceivedAndOddOnesStopNothing) {
  startBridge({"--delete-junk", "--quiet"});
  const QString live = addSms("10690000", "回复退订");
  EXPECT_TRUE(eventually([&] { return !stored(live); })) << bridgeLog();
  // A multipart message still being received waits until it is whole. The message after it is read after it.
  const QString parts = addSms("10690002", "回复退订", kReceiving);
  const QString barrier = addSms("10690009", "回复退订");
  EXPECT_TRUE(eventually([&] { return !stored(barrier); })) << bridgeLog();
  EXPECT_TRUE(stored(parts));
  control("SetState", {QVariant::fromValue(QDBusObjectPath(parts)), kReceived});
  EXPECT_TRUE(eventually([&] { return !stored(parts); })) << bridgeLog();
  // A data SMS and a status report are skipped, even from a blacklisted number; the bridge goes on.
  const QString data = addSms("10690003", "", kReceived, QByteArray("\x01\x02", 2));
  const QString report =
      control("AddStatusReport", {QString("10690666")}).arguments().value(0).value<QDBusObjectPath>().path();
  const QString after = addSms("10690005", "回复退订");
  EXPECT_TRUE(eventually([&] { return !stored(after); })) << bridgeLog();
  EXPECT_TRUE(eventually([&] { return bridgeSaid("a status report is no message"); })) << bridgeLog();
  EXPECT_TRUE(stored(data));
  EXPECT_TRUE(stored(report));
  EXPECT_EQ(junkLog().size(), 4u);
  EXPECT_TRUE(bridgeSaid("a data SMS holds no text"));
  // A sender's escape sequence or line break does not reach the log raw.
  addSms("\x1b[2J10690007\nforged line", "好的");
  EXPECT_TRUE(eventually([&] { return bridgeSaid("\\u{001B}[2J10690007\\nforged line: ham"); })) << bridgeLog();
  EXPECT_EQ(bridgeLog().find('\x1b'), std::string::npos);
  EXPECT_EQ(stopBridge(SIGTERM), 0);
}

// SIGTERM is heard at once, even while the bridge goes through what the modem held when it started.
TEST_F(ModemBridgeTest, StopsWhenAskedEvenDuringItsFirstPass) {
  control("AddCopies", {QString("13900139000"), QString("好的，明天见。"), 1000u});
  startBridge({"--quiet"});
  EXPECT_EQ(stopBridge(SIGTERM), 0);
  EXPECT_LT(count(bridgeLog(), ": ham (model)"), 1000u);
}

TEST_F(ModemBridgeTest, FollowsTheModemAndModemManagerComingBack) {
  startBridge({"--delete-junk", "--quiet"});
  control("RemoveModem");
  control("AddModem");
  const QString again = addSms("10690000", "回复退订");
  EXPECT_TRUE(eventually([&] { return !stored(again); })) << bridgeLog();
  // ModemManager restarts and numbers its messages afresh: new ones are heard and judged.
  manager_->kill();
  manager_->waitForFinished();
  startManager();
  EXPECT_TRUE(eventually([&] { return bridgeSaid("ModemManager appeared"); })) << bridgeLog();
  const QString restarted = addSms("10690001", "回复退订");
  EXPECT_TRUE(eventually([&] { return !stored(restarted); })) << bridgeLog();
  EXPECT_TRUE(eventually([&] { return finishedOnce("10690000") && finishedOnce("10690001"); })) << bridgeLog();
}

TEST_F(ModemBridgeTest, HooksGetTheMessageButNeverRunItAndAreKeptInBounds) {
  testing::TemporaryDirectory dir;
  const std::string hook =
      script(dir, "hook.sh",
             "printf '%s' \"$QUELL_BODY\" > \"$0.env\"\ncat > \"$0.stdin\"\n"
             "printf '%s %s %s' \"$QUELL_STAGE\" \"$QUELL_SENDER\" \"$QUELL_BODY_ON_STDIN\" > \"$0.stage\"\n");
  const std::string pwned = (dir.path() / "pwned").string();
  const std::string body = "$(touch " + pwned + ") `touch " + pwned + "` \"quoted\" 'single'\nnext line; rm -rf ~";
  startBridge({"--quiet", "--on-ham", QString::fromStdString(hook)});
  addSms("13900139000", QString::fromStdString(body));
  const std::string stage = hook + ".stage";
  EXPECT_TRUE(eventually([&] { return fileContents(stage) == "model 13900139000 "; })) << bridgeLog();
  EXPECT_EQ(fileContents(hook + ".env"), body);
  EXPECT_TRUE(eventually([&] { return fileContents(hook + ".stdin") == body; }));
  EXPECT_FALSE(std::filesystem::exists(pwned));
  // A body too long for the environment comes on standard input alone, and the hook is told so.
  std::filesystem::remove(stage);
  const std::string longBody(200 * 1024, 'a');
  addSms("13900139001", QString::fromStdString(longBody));
  EXPECT_TRUE(eventually([&] { return fileContents(stage) == "model 13900139001 1"; })) << bridgeLog();
  EXPECT_EQ(fileContents(hook + ".env"), "");
  EXPECT_TRUE(eventually([&] { return fileContents(hook + ".stdin") == longBody; }));
  stopBridge(SIGTERM);

  // At most two at once; none dropped; a duration like "30s" is a duration.
  const std::string runs = (dir.path() / "runs").string();
  const std::string slow = script(dir, "slow.sh", "echo start >> " + runs + "\nsleep 0.2\necho end >> " + runs + "\n");
  QProcessEnvironment env = environment();
  env.insert("QUELL_HOOK_TIMEOUT_MS", "30s");
  startBridge({"--quiet", "--max-hooks", "2", "--on-ham", QString::fromStdString(slow)}, env);
  for (int i = 0; i < 12; ++i) addSms(QString("1390013%1").arg(i, 4, 10, QChar('0')), "好的，明天见。");
  EXPECT_TRUE(eventually([&] { return count(fileContents(runs), "end") == 12; })) << bridgeLog();
  int running = 0, most = 0;
  for (const auto& line : testing::splitLines(fileContents(runs)))
    most = std::max(most, running += line == "start" ? 1 : -1);
  EXPECT_EQ(most, 2);
  EXPECT_FALSE(bridgeSaid("ran too long"));
  stopBridge(SIGTERM);

  // A hook that hangs is killed after its timeout with what it started; judging goes on meanwhile.
  const std::string child = (dir.path() / "child").string();
  const std::string hang = script(dir, "hang.sh", "sleep 60 &\necho $! > " + child + "\nwait\n");
  env.insert("QUELL_HOOK_TIMEOUT_MS", "300");
  startBridge({"--quiet", "--delete-junk", "--on-junk", QString::fromStdString(hang)}, env);
  const QString first = addSms("10690000", "回复退订");
  const QString second = addSms("10690001", "回复退订");
  EXPECT_TRUE(eventually([&] { return !stored(first) && !stored(second); })) << bridgeLog();
  EXPECT_TRUE(eventually([&] { return count(bridgeLog(), "ran too long and is killed") == 2; })) << bridgeLog();
  const pid_t sleeper = static_cast<pid_t>(std::atol(fileContents(child).c_str()));
  ASSERT_GT(sleeper, 0);
  EXPECT_TRUE(eventually([&] { return ::kill(sleeper, 0) != 0; })) << "the hook's child outlived it";
  EXPECT_EQ(stopBridge(SIGTERM), 0);
}

// Junk shows "已拦截垃圾短信" when it was deleted and "已记录垃圾短信" when it was only recorded, with the
// sender as text; --quiet shows nothing. The shared setting switches deletion on without --delete-junk.
TEST_F(ModemBridgeTest, JunkIsAnnouncedAsWhatHappenedToIt) {
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
  startBridge({"--quiet"}, env);
  addSms("10690009", "回复退订");
  EXPECT_TRUE(eventually([&] { return junkLog().size() == 1; }));
  stopBridge(SIGTERM);
  EXPECT_EQ(fileContents(record), "");
  startBridge({}, env);
  const QString kept = addSms("<b>10690000</b>", "回复退订");
  EXPECT_TRUE(eventually([&] { return fileContents(record) == "已记录垃圾短信\t&lt;b&gt;10690000&lt;/b&gt;\n"; }))
      << fileContents(record) << bridgeLog();
  EXPECT_TRUE(stored(kept));
  ASSERT_TRUE(setDeletesJunkFromModem(true));
  addSms("13900139000", "好的，明天见。");  // ham: nothing to announce
  const QString deleted = addSms("10690001", "回复退订");
  EXPECT_TRUE(eventually([&] { return !stored(deleted); })) << bridgeLog();
  EXPECT_TRUE(eventually([&] { return count(fileContents(record), "\n") == 2; }));
  EXPECT_EQ(fileContents(record), "已记录垃圾短信\t&lt;b&gt;10690000&lt;/b&gt;\n已拦截垃圾短信\t10690001\n");
  // The first junk message, still on the modem, was not judged (logged, announced) a second time.
  EXPECT_EQ(junkLog().size(), 3u);
  notifier.kill();
  notifier.waitForFinished();
}

TEST_F(ModemBridgeTest, NotJunkLetsTheSenderThrough) {
  startBridge({"--delete-junk", "--quiet"});
  const QString junk = addSms("10690000", "回复退订");
  ASSERT_TRUE(eventually([&] { return !stored(junk); }));
  auto entries = junkLog();
  ASSERT_EQ(entries.size(), 1u);
  auto taken = testing::runProcess(QUELLLOG_PATH, {"not-junk", std::to_string(entries[0].id)});
  ASSERT_EQ(taken.exitCode, 0) << taken.err;
  const QString next = addSms("10690000", "回复退订");
  EXPECT_TRUE(eventually([&] { return bridgeSaid(next.toStdString() + " from 10690000: ham"); })) << bridgeLog();
  EXPECT_TRUE(stored(next));
  EXPECT_EQ(junkLog().size(), 1u);
}

// The log locked by another writer, a full disk, a refused Delete and unreadable properties: each is tried
// again while the bridge runs, shown as pending meanwhile, and announced only once it is true.
TEST_F(ModemBridgeTest, FailuresAreTriedAgainUntilTheyPassWithoutARestart) {
  testing::TemporaryDirectory dir;
  const std::string announced = (dir.path() / "announced").string();
  startBridge({"--delete-junk", "--quiet", "--on-junk", recordingHook(dir, announced)});
  {
    testing::StoreWriteLock lock(JunkLog::defaultPath());
    const QString locked = addSms("10690001", "回复退订");
    EXPECT_TRUE(eventually([&] { return bridgeSaid("the junk log cannot be written"); })) << bridgeLog();
    EXPECT_TRUE(stored(locked));
  }
  EXPECT_TRUE(eventually([&] { return finishedOnce("10690001"); })) << bridgeLog();

  limitFileSize(1);  // every write to a file fails, as on a full disk
  const QString full = addSms("10690002", "回复退订");
  EXPECT_TRUE(eventually([&] { return count(bridgeLog(), "the junk log cannot be written") >= 2; })) << bridgeLog();
  EXPECT_TRUE(stored(full));
  EXPECT_TRUE(entriesFrom("10690002").empty());
  limitFileSize(RLIM_INFINITY);
  EXPECT_TRUE(eventually([&] { return finishedOnce("10690002"); })) << bridgeLog();

  control("RefuseDelete", {true});
  const QString refused = addSms("10690003", "回复退订");
  EXPECT_TRUE(eventually([&] {
    auto entries = entriesFrom("10690003");
    return entries.size() == 1 && entries[0].pending && entries[0].pending->find("Not authorized") != std::string::npos;
  })) << bridgeLog();
  auto listed = testing::runProcess(QUELLLOG_PATH, {"list"});
  EXPECT_NE(listed.out.find("[pending: the modem did not delete it (Not authorized"), std::string::npos) << listed.out;
  EXPECT_TRUE(stored(refused));
  EXPECT_EQ(count(fileContents(announced), "10690003"), 0u);  // not announced as handled
  control("RefuseDelete", {false});
  EXPECT_TRUE(eventually([&] { return finishedOnce("10690003"); })) << bridgeLog();

  const QString broken = addSms("10690004", "回复退订", kReceived, {}, true);
  EXPECT_TRUE(eventually([&] { return bridgeSaid("its properties cannot be read"); })) << bridgeLog();
  control("Repair", {QVariant::fromValue(QDBusObjectPath(broken))});
  EXPECT_TRUE(eventually([&] { return finishedOnce("10690004"); })) << bridgeLog();

  EXPECT_TRUE(eventually([&] { return count(fileContents(announced), "\n") == 4; }));
  EXPECT_EQ(fileContents(announced), "10690001\n10690002\n10690003\n10690004\n");
  EXPECT_TRUE(storedMessages().isEmpty());
  EXPECT_EQ(stopBridge(SIGTERM), 0);
}

// The bridge is killed right after each step in turn; the next start finishes every message, and nothing is
// recorded, deleted or announced twice.
TEST_F(ModemBridgeTest, AKillAfterAnyStepLosesAndRepeatsNothing) {
  testing::TemporaryDirectory dir;
  const std::string announced = (dir.path() / "announced").string();
  const QString hook = recordingHook(dir, announced);
  struct Case {
    const char* step;
    QString sender, text;
    bool deleting;
  };
  const std::vector<Case> cases = {
      {"recorded", "10690001", "回复退订", true},   {"recorded", "10690002", "回复退订", false},
      {"deleted", "10690003", "回复退订", true},    {"marked-deleted", "10690004", "回复退订", true},
      {"announcing", "10690005", "回复退订", true}, {"announcing", "13900139000", "好的，明天见。", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.step) + " " + c.sender.toStdString());
    QStringList args = {"--quiet", "--on-junk", hook, "--on-ham", hook};
    if (c.deleting) args << "--delete-junk";
    QProcessEnvironment env = environment();
    env.insert("QUELL_TEST_STOP_AT", c.step);
    startBridge(args, env);
    const QString sms = addSms(c.sender, c.text);
    ASSERT_TRUE(bridge_->waitForFinished(30000));
    EXPECT_EQ(finishedBridge(), -1);
    EXPECT_TRUE(bridgeSaid(std::string("stopping at ") + c.step)) << bridgeLog();
    startBridge(args);
    const std::string sender = c.sender.toStdString();
    EXPECT_TRUE(eventually([&] { return count(fileContents(announced), sender + "\n") == 1; })) << bridgeLog();
    EXPECT_NE(stored(sms), c.deleting && c.text == "回复退订");
    if (c.text == "回复退订") {
      EXPECT_TRUE(eventually([&] { return !entriesFrom(sender).at(0).pending; }));
      auto entries = entriesFrom(sender);
      ASSERT_EQ(entries.size(), 1u);
      EXPECT_EQ(entries[0].deleted, c.deleting);
    }
    stopBridge(SIGTERM);
  }
  // A last start finds every message finished.
  startBridge({"--quiet", "--delete-junk", "--on-junk", hook, "--on-ham", hook});
  addSms("10690009", "回复退订");
  EXPECT_TRUE(eventually([&] { return finishedOnce("10690009"); })) << bridgeLog();
  EXPECT_TRUE(eventually([&] { return count(fileContents(announced), "\n") == cases.size() + 1; }))
      << fileContents(announced);
  EXPECT_EQ(junkLog().size(), cases.size());
}

// Identical messages are as many messages; a second bridge on the same log stops; ham stays judged for as
// long as it is on the modem, however small the log; a burst with every signal ModemManager sends goes
// through whole.
TEST_F(ModemBridgeTest, TwinsASecondBridgeAndABurstAreEachHandledOnce) {
  testing::TemporaryDirectory dir;
  const std::string announced = (dir.path() / "announced").string();
  const QString hook = recordingHook(dir, announced);
  const QStringList args = {"--quiet", "--delete-junk", "--keep-entries", "1", "--on-ham", hook};
  startBridge(args);
  QProcess second;
  second.setProcessEnvironment(environment());
  second.start(QUELLMODEM_PATH, args);
  ASSERT_TRUE(second.waitForFinished(20000));
  EXPECT_EQ(second.exitCode(), 1);
  EXPECT_NE(second.readAllStandardError().indexOf("another quellmodem"), -1);

  control("AddCopies", {QString("10690000"), QString("回复退订"), 2u});
  control("AddCopies", {QString("13900139000"), QString("好的，明天见。"), 2u});
  EXPECT_TRUE(eventually([&] { return count(bridgeLog(), "from 10690000: junk") == 2; })) << bridgeLog();
  EXPECT_TRUE(eventually([&] { return count(fileContents(announced), "13900139000\n") == 2; })) << bridgeLog();
  EXPECT_TRUE(eventually([&] { return storedMessages().size() == 2; }));  // the ham twins
  // More junk than the log keeps, and a restart: the ham on the modem is not handed to the hook again, and a
  // third copy of it is a new message.
  for (int i = 1; i <= 3; ++i) addSms(QString("1069000%1").arg(i), "回复退订");
  EXPECT_TRUE(eventually([&] { return storedMessages().size() == 2; })) << bridgeLog();
  stopBridge(SIGTERM);
  startBridge(args);
  control("AddCopies", {QString("13900139000"), QString("好的，明天见。"), 1u});
  EXPECT_TRUE(eventually([&] { return count(fileContents(announced), "13900139000\n") == 3; })) << bridgeLog();
  // The hook may finish before the bridge's own line about the message has reached us.
  EXPECT_TRUE(eventually([&] { return count(bridgeLog(), "13900139000: ham") >= 3; })) << bridgeLog();
  EXPECT_EQ(count(bridgeLog(), "13900139000: ham"), 3u) << bridgeLog();

  constexpr unsigned kBurst = 3000;
  control("AddMany", {QString("1068"), QString("回复退订"), kBurst});
  // Every message of the burst judged, recorded, deleted and finished.
  EXPECT_TRUE(eventually([&] { return count(bridgeLog(), ": junk (keyword-blacklist)") == 2 + 3 + kBurst; }, 120000))
      << count(bridgeLog(), ": junk (keyword-blacklist)");
  EXPECT_TRUE(eventually([&] { return storedMessages().size() == 3; })) << storedMessages().size();
  EXPECT_TRUE(eventually([&] {
    auto entries = junkLog();
    return std::all_of(entries.begin(), entries.end(), [](const JunkEntry& e) { return e.deleted && !e.pending; });
  }));
  EXPECT_EQ(count(bridgeLog(), ": junk (keyword-blacklist)"), 2 + 3 + kBurst);
  EXPECT_FALSE(bridgeSaid("cannot"));
  EXPECT_EQ(stopBridge(SIGTERM), 0);
}

}  // namespace
}  // namespace quell
