// App tests look up resources as the app does: in the Quellbox bundle of the build tree.
#include "platform/bundle.h"

const quell::BundleIdentity quell::kMainBundleIdentity = {"Quellbox", "app.quell.Quellbox.tests"};
