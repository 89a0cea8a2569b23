// Why the rule lists cannot be saved, as the main screen tells the user: the shared rule store cannot be
// opened (its folder cannot be made, it is not writable, or its file is damaged).
#pragma once

#include <QString>
#include <optional>

namespace quell {

// nullopt when the shared rule store opens; otherwise one sentence for the user saying that the lists
// cannot be saved, and why. Looks at the store afresh on every call.
std::optional<QString> ruleStoreProblem();

}  // namespace quell
