// Benchmarks look up resources as the filter does: in the Quellguard bundle of the build tree.
#include "platform/bundle.h"

const quell::BundleIdentity quell::kMainBundleIdentity = {"Quellguard", "app.quell.bench"};
