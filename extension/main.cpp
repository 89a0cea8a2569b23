// quellguard: the filter process. See extension/extension_main.h for how it is driven, and
// extension/guard_dbus_service.h for --dbus, the filter on the session bus.
#include <cstdio>
#include <cstring>
#include <memory>

#include "extension/extension_main.h"
#include "extension/quellguard.h"
#include "platform/bundle.h"
#ifdef QUELL_WITH_DBUS
#include "extension/guard_dbus_service.h"
#endif

const quell::BundleIdentity quell::kMainBundleIdentity = {"Quellguard", "app.quell.Quellbox.Quellguard"};

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--dbus") == 0) {
#ifdef QUELL_WITH_DBUS
    return quell::runGuardDBusService(argc, argv);
#else
    std::fprintf(stderr, "quellguard: this build has no D-Bus support (it needs Qt 6 D-Bus)\n");
    return 2;
#endif
  }
  quell::registerPrincipalClass("Quellguard", [] { return std::make_unique<quell::Quellguard>(); });
  return quell::NSExtensionMain(argc, argv);
}
