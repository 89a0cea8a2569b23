#include "platform/system_log.h"

#include <syslog.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

namespace quell {

namespace {

bool useStandardError() {
  const char* choice = std::getenv("QUELL_LOG");
  if (choice && std::strcmp(choice, "stderr") == 0) return true;
  return access("/dev/log", W_OK) != 0;
}

}  // namespace

void NSLog(std::string_view line) {
  static std::mutex mu;
  static const bool toStandardError = useStandardError();
  std::lock_guard lock(mu);
  if (toStandardError) {
    std::string text(line);
    text.push_back('\n');
    // One write call per line, so lines of concurrent processes do not interleave either.
    [[maybe_unused]] auto written = ::write(STDERR_FILENO, text.data(), text.size());
    return;
  }
  syslog(LOG_NOTICE, "%.*s", static_cast<int>(line.size()), line.data());
}

}  // namespace quell
