#include "platform/ui/system_version.h"

namespace quell {

namespace {
std::optional<bool> forced;
}

bool systemSupportsDynamicColors() { return forced.value_or(true); }

void setSystemSupportsDynamicColorsForTesting(std::optional<bool> supported) { forced = supported; }

}  // namespace quell
