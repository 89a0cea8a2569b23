// Bundle: where a program finds its own resources.
//
// Every program is laid out as <prefix>/bin/<program> with its resources in
// <prefix>/share/quell/<bundle name>/, both in the build tree and in an installed tree, so a bundle is found
// relative to the running executable and the whole tree can be moved.
//
// Each program names its bundle by defining kMainBundleIdentity once (see below); the library code
// that looks up resources (the model wrappers, the settings store) asks Bundle::main().
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quell {

struct BundleIdentity {
  const char* name;        // the folder under share/quell, e.g. "Quellguard"
  const char* identifier;  // reverse-DNS identifier, which names the program's private settings domain
};

// Defined by each program (and by each test binary).
extern const BundleIdentity kMainBundleIdentity;

class Bundle {
 public:
  static const Bundle& main();

  const std::string& identifier() const { return identifier_; }
  const std::filesystem::path& resourcePath() const { return resourcePath_; }

  // The resource "<name>.<extension>" if it exists in this bundle, else nullopt.
  std::optional<std::filesystem::path> urlForResource(std::string_view name, std::string_view extension) const;

 private:
  Bundle(std::string identifier, std::filesystem::path resourcePath)
      : identifier_(std::move(identifier)), resourcePath_(std::move(resourcePath)) {}

  std::string identifier_;
  std::filesystem::path resourcePath_;
};

// The directory that holds the running executable.
std::filesystem::path executableDirectory();

}  // namespace quell
