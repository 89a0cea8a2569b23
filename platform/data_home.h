// The user's data directory, where Quell keeps what it stores: $XDG_DATA_HOME when it is an absolute path,
// else ~/.local/share (the home directory from HOME, or from the password database when HOME is unset).
#pragma once

#include <filesystem>

namespace quell {

std::filesystem::path userDataHome();

}  // namespace quell
