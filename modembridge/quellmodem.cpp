// quellmodem: filters the SMS that ModemManager receives on this machine, with the same verdict and the
// same rule store as the filter. See modem_bridge.h for what it does with each message.
//   quellmodem [--once] [--delete-junk] [--on-ham CMD] [--on-junk CMD] [--quiet] [--keep-days N]
//              [--keep-entries N]
// It uses the D-Bus system bus (DBUS_SYSTEM_BUS_ADDRESS overrides where it is) and runs until SIGTERM or
// SIGINT; --once judges what the modems hold now and exits.
#include <QCoreApplication>
#include <QTimer>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "modembridge/modem_bridge.h"
#include "platform/bundle.h"

const quell::BundleIdentity quell::kMainBundleIdentity = {"Quellguard", "app.quell.quellmodem"};

namespace {

std::atomic<bool> stopRequested{false};

int usage() {
  std::fprintf(stderr,
               "usage: quellmodem [--once] [--delete-junk] [--on-ham CMD] [--on-junk CMD] [--quiet]\n"
               "  --once         judge what the modems hold now, then exit\n"
               "  --delete-junk  delete a junk SMS from the modem once it is in the junk log\n"
               "  --on-ham CMD   run CMD for each ham SMS (the message in QUELL_SENDER, QUELL_BODY,\n"
               "                 QUELL_TIMESTAMP, QUELL_STAGE and on standard input; never through a shell)\n"
               "  --on-junk CMD  the same for each junk SMS\n"
               "  --quiet        no desktop notification for junk\n"
               "  --keep-days N  the junk log keeps entries for N days (90)\n"
               "  --keep-entries N  and at most N entries (10000)\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  quell::ModemBridgeOptions options;
  quell::JunkLogLimits limits;
  bool once = false;
  // A whole number from min to max, or nullopt.
  auto number = [](const char* text, long min, long max) -> std::optional<long> {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (!*text || *end || value < min || value > max) return std::nullopt;
    return value;
  };
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--once") {
      once = true;
    } else if (arg == "--delete-junk") {
      options.deleteJunk = true;
    } else if (arg == "--quiet") {
      options.notify = false;
    } else if (arg == "--on-ham" && i + 1 < argc) {
      options.onHam = QString::fromLocal8Bit(argv[++i]);
    } else if (arg == "--on-junk" && i + 1 < argc) {
      options.onJunk = QString::fromLocal8Bit(argv[++i]);
    } else if (arg == "--keep-days" && i + 1 < argc) {
      auto days = number(argv[++i], 1, 36500);
      if (!days) return usage();
      limits.maxAge = std::chrono::hours(24 * *days);
    } else if (arg == "--keep-entries" && i + 1 < argc) {
      auto entries = number(argv[++i], 1, 100000000);
      if (!entries) return usage();
      limits.maxEntries = *entries;
    } else {
      return usage();
    }
  }
  QCoreApplication app(argc, argv);
  if (const char* timeout = std::getenv("QUELL_HOOK_TIMEOUT_MS"); timeout && *timeout)
    options.hookTimeout = std::chrono::milliseconds(std::clamp(std::atoi(timeout), 100, 600000));
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected()) {
    std::fprintf(stderr, "quellmodem: cannot reach the system bus: %s\n", qPrintable(bus.lastError().message()));
    return 1;
  }
  auto log = quell::JunkLog::open(quell::JunkLog::defaultPath(), limits);
  if (!log) {
    std::fprintf(stderr, "quellmodem: %s\n", log.message().c_str());
    return 1;
  }
  quell::ModemBridge bridge(bus, std::move(*log), options);
  if (once) {
    bridge.judgeStoredMessages();
    // Hooks finish (or are killed at their timeout) before the program ends.
    QTimer wait;
    QObject::connect(&wait, &QTimer::timeout, &app, [&] {
      if (bridge.runningHooks() == 0) app.quit();
    });
    wait.start(20);
    app.exec();
    return 0;
  }
  std::signal(SIGTERM, [](int) { stopRequested = true; });
  std::signal(SIGINT, [](int) { stopRequested = true; });
  QTimer stopper;
  QObject::connect(&stopper, &QTimer::timeout, &app, [&] {
    if (stopRequested) app.quit();
  });
  stopper.start(50);
  bridge.start();
  app.exec();
  return 0;
}
