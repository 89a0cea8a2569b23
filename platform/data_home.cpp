#include "platform/data_home.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace quell {

std::filesystem::path userDataHome() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  if (!home || home[0] != '/') {
    const passwd* pw = getpwuid(getuid());
    home = pw ? pw->pw_dir : "/tmp";
  }
  return std::filesystem::path(home) / ".local" / "share";
}

}  // namespace quell
