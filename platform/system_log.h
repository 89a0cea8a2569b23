// NSLog: writes one line to the system log.
//
// The line goes to syslog (which journald collects) when the machine has a system log socket (/dev/log),
// otherwise to standard error. Setting QUELL_LOG=stderr in the environment sends it to standard error
// always, which is what tests and people running a program by hand usually want. Safe from any thread;
// a line never interleaves with another.
#pragma once

#include <string_view>

namespace quell {

void NSLog(std::string_view line);

}  // namespace quell
