// Feeds arbitrary bytes to the settings value decoder, as a damaged or hostile store would hold them. A
// value that decodes must encode again, and its encoding must decode to the same encoding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/bundle.h"
#include "platform/property_list.h"

const quell::BundleIdentity quell::kMainBundleIdentity = {"Quellguard", "app.quell.fuzz"};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto value = quell::decodePropertyList(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!value) return 0;
  auto bytes = quell::encodePropertyList(*value);
  if (!bytes) abort();
  auto again = quell::decodePropertyList(*bytes);
  if (!again || quell::encodePropertyList(*again) != bytes) abort();
  return 0;
}
