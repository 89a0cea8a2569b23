// UIDevice: facts about the device the app runs on.
#pragma once

#include <QString>

namespace quell {

namespace UIDevice {
// The system's version string (for Linux, the distribution's version, e.g. "12"). QUELL_SYSTEM_VERSION in
// the environment replaces it, to try the app as on another system.
QString systemVersion();
}  // namespace UIDevice

}  // namespace quell
