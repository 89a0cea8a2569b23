// quellguard: the filter process. See platform/extension_main.h for how it is driven.
#include <memory>

#include "extension/quellguard.h"
#include "platform/bundle.h"
#include "platform/extension_main.h"

const quell::BundleIdentity quell::kMainBundleIdentity = {"Quellguard", "app.quell.Quellbox.Quellguard"};

int main(int argc, char** argv) {
  quell::registerPrincipalClass("Quellguard", [] { return std::make_unique<quell::Quellguard>(); });
  return quell::NSExtensionMain(argc, argv);
}
