// UIDevice: facts about the device the app runs on.
#pragma once

#include <QString>
#include <optional>

namespace quell {

namespace UIDevice {
// The system's version string (for Linux, the distribution's version, e.g. "12"). QUELL_SYSTEM_VERSION in
// the environment replaces it, to try the app as on another system.
QString systemVersion();

// An identifier of this device for one maker's apps, in the standard 36-character UUID form: the same
// for every app of `vendor` on this machine, different for another maker, and not the machine's own id
// (it is an HMAC of the vendor under the machine id, so the machine id cannot be recovered from it).
// nullopt when the machine has no id (/etc/machine-id, or the file named by QUELL_MACHINE_ID_FILE).
std::optional<QString> identifierForVendor(const QString& vendor);
}  // namespace UIDevice

}  // namespace quell
