// The system version check the palette makes: whether this system supports appearance-dependent
// (dynamic) colours. A desktop always does; tests can switch the answer to exercise the older branch.
#pragma once

#include <optional>

namespace quell {

bool systemSupportsDynamicColors();
// nullopt restores the real answer.
void setSystemSupportsDynamicColorsForTesting(std::optional<bool> supported);

}  // namespace quell
