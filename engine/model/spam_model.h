// isSpamByModel: the last stage of the verdict, for messages that no rule list decided.
#pragma once

#include <string_view>

namespace quell {

// True when the model judges the (already normalised) body to be spam. Never fails: anything that goes
// wrong answers not spam.
bool isSpamByModel(std::string_view body);

}  // namespace quell
