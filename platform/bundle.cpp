#include "platform/bundle.h"

#include <system_error>

namespace quell {

std::filesystem::path executableDirectory() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return std::filesystem::current_path(ec);
  return exe.parent_path();
}

const Bundle& Bundle::main() {
  static const Bundle bundle(kMainBundleIdentity.identifier,
                             executableDirectory().parent_path() / "share" / "quell" / kMainBundleIdentity.name);
  return bundle;
}

std::optional<std::filesystem::path> Bundle::urlForResource(std::string_view name, std::string_view extension) const {
  std::string file(name);
  if (!extension.empty()) file.append(".").append(extension);
  auto path = resourcePath_ / file;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return std::nullopt;
  return path;
}

}  // namespace quell
