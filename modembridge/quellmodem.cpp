// quellmodem: filters the SMS that ModemManager receives on this machine, with the same verdict and the
// same rule store as the filter. See modem_bridge.h for what it does with each message.
// It uses the D-Bus system bus (DBUS_SYSTEM_BUS_ADDRESS overrides where it is) and runs until SIGTERM or
// SIGINT; --once judges what the modems hold now and exits. One bridge runs per junk log.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "engine/rule_store.h"
#include "modembridge/modem_bridge.h"
#include "platform/bundle.h"
#include "platform/command_line.h"

const quell::BundleIdentity quell::kMainBundleIdentity = {"Quellguard", "app.quell.quellmodem"};

namespace {

constexpr const char* kUsage =
    "usage: quellmodem [--once] [--delete-junk] [--on-ham CMD] [--on-junk CMD] [--quiet]\n"
    "                  [--keep-days N] [--keep-entries N] [--max-hooks N]\n"
    "  --once            judge what the modems hold now, then exit (1 when something is left pending)\n"
    "  --delete-junk     delete a junk SMS from the modem once it is in the junk log (also done when the\n"
    "                    companion app's setting says so)\n"
    "  --on-ham CMD      run CMD for each ham SMS (the message in QUELL_SENDER, QUELL_BODY,\n"
    "                    QUELL_TIMESTAMP, QUELL_STAGE and on standard input; never through a shell)\n"
    "  --on-junk CMD     the same for each junk SMS\n"
    "  --quiet           no desktop notification for junk\n"
    "  --keep-days N     the junk log keeps entries for N days (90)\n"
    "  --keep-entries N  and at most N entries (10000)\n"
    "  --max-hooks N     at most N hooks run at once, the others wait (4)\n"
    "environment: QUELL_HOOK_TIMEOUT_MS (a hook still running then is killed: \"10000\", \"30s\", \"2min\")\n";

int signalPipe[2] = {-1, -1};

// A signal only writes a byte; the event loop reads it and stops.
void requestStop(int) {
  const char byte = 1;
  (void)!::write(signalPipe[1], &byte, 1);
}

// Every later step sees a write that a file size limit refuses as a failed write, tried again; the default
// action would end the bridge. A handler, unlike an ignored signal, is not inherited by the hooks.
void refuseOversizeWrite(int) {}

void handleSignals(QCoreApplication& app) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
  QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
  struct sigaction stop {};
  stop.sa_handler = requestStop;
  sigemptyset(&stop.sa_mask);
  sigaction(SIGTERM, &stop, nullptr);
  sigaction(SIGINT, &stop, nullptr);
  struct sigaction oversize {};
  oversize.sa_handler = refuseOversizeWrite;
  sigemptyset(&oversize.sa_mask);
  sigaction(SIGXFSZ, &oversize, nullptr);
}

// One bridge per junk log: a second would judge, log and announce every message again. The lock is the
// kernel's, so it ends with the process however that ends. Returns the error, or empty.
std::string lockTheLog(const std::filesystem::path& log) {
  const std::filesystem::path lock = log.parent_path() / "quellmodem.lock";
  const int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return "cannot open " + lock.string() + ": " + std::strerror(errno);
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    char pid[32] = {};
    (void)!::pread(fd, pid, sizeof pid - 1, 0);
    return "another quellmodem (pid " + std::string(pid) + ") already uses " + log.string() + "; this one stops";
  }
  const std::string pid = std::to_string(::getpid());
  (void)!::ftruncate(fd, 0);
  (void)!::pwrite(fd, pid.data(), pid.size(), 0);
  return {};  // held until the process ends
}

}  // namespace

int main(int argc, char** argv) {
  const quell::CommandLine cli("quellmodem", kUsage);
  if (auto code = cli.standardOption(argc, argv)) return *code;
  quell::ModemBridgeOptions options;
  quell::JunkLogLimits limits;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--once") {
      options.once = true;
    } else if (arg == "--delete-junk") {
      options.deleteJunk = true;
    } else if (arg == "--quiet") {
      options.notify = false;
    } else if (arg == "--on-ham" && hasValue) {
      options.onHam = QString::fromLocal8Bit(argv[++i]);
    } else if (arg == "--on-junk" && hasValue) {
      options.onJunk = QString::fromLocal8Bit(argv[++i]);
    } else if (arg == "--keep-days" && hasValue) {
      auto days = quell::parseWholeNumber(argv[++i], 1, 36500);
      if (!days) return cli.usageError("--keep-days takes a number of days from 1 to 36500");
      limits.maxAge = std::chrono::hours(24 * *days);
    } else if (arg == "--keep-entries" && hasValue) {
      auto entries = quell::parseWholeNumber(argv[++i], 1, 100000000);
      if (!entries) return cli.usageError("--keep-entries takes a number from 1 to 100000000");
      limits.maxEntries = *entries;
    } else if (arg == "--max-hooks" && hasValue) {
      auto hooks = quell::parseWholeNumber(argv[++i], 1, 64);
      if (!hooks) return cli.usageError("--max-hooks takes a number from 1 to 64");
      options.maxHooks = static_cast<int>(*hooks);
    } else {
      return cli.usageError(hasValue || arg.rfind("--", 0) != 0 ? "unknown argument " + arg : arg + " needs a value");
    }
  }
  if (const char* timeout = std::getenv("QUELL_HOOK_TIMEOUT_MS"); timeout && *timeout) {
    auto parsed = quell::parseMilliseconds(timeout, std::chrono::milliseconds(100), std::chrono::minutes(10));
    if (!parsed)
      return cli.fail(std::string("QUELL_HOOK_TIMEOUT_MS must be a time from 100 ms to 10 min (\"10000\", "
                                  "\"250ms\", \"30s\", \"2min\"), not \"") +
                      timeout + "\"");
    options.hookTimeout = *parsed;
  }

  QCoreApplication app(argc, argv);
  handleSignals(app);
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected()) return cli.fail("cannot reach the system bus: " + bus.lastError().message().toStdString());
  const std::filesystem::path logPath = quell::JunkLog::defaultPath();
  std::error_code made;
  std::filesystem::create_directories(logPath.parent_path(), made);
  if (std::string locked = lockTheLog(logPath); !locked.empty()) return cli.fail(locked);
  auto log = quell::JunkLog::open(logPath, limits);
  if (!log) return cli.fail(log.message());
  // A gateway that never ran the companion app gets the lists a first launch would give, once per store.
  if (auto seeded = quell::RuleStore::seedDefaultListsOnce(); !seeded)
    cli.warn("the default rule lists could not be written: " + seeded.message());

  quell::ModemBridge bridge(bus, std::move(*log), options);
  int exitCode = 0;
  QObject::connect(&bridge, &quell::ModemBridge::finished, &app, [&](int pending, bool reachable) {
    if (!reachable)
      exitCode = cli.fail("ModemManager is not reachable on the system bus");
    else if (pending > 0)
      exitCode = cli.fail(std::to_string(pending) + " messages are still pending; the next run goes on with them");
    app.quit();
  });
  bridge.start();
  app.exec();
  return exitCode;
}
