// Helpers shared by the tests: a private settings directory per test, and running the project's programs.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quell::testing {

// A fresh temporary directory, removed with the object.
class TemporaryDirectory {
 public:
  TemporaryDirectory();
  ~TemporaryDirectory();
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Points XDG_DATA_HOME at a fresh temporary directory for the life of the object, so every settings domain
// a test opens is its own.
class ScopedDataHome {
 public:
  ScopedDataHome();
  ~ScopedDataHome();
  const std::filesystem::path& path() const { return dir_.path(); }

 private:
  TemporaryDirectory dir_;
  std::optional<std::string> previous_;
};

struct ProcessResult {
  int exitCode = -1;  // -1 when the process was killed by a signal
  std::string out;
  std::string err;
};

// Runs program with args, feeding `input` on standard input, with `env` added to this process's
// environment. Standard input, output and error are served concurrently, so large inputs cannot deadlock.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input = "", const std::map<std::string, std::string>& env = {});

std::vector<std::string> splitLines(const std::string& text);

}  // namespace quell::testing
