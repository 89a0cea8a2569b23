// Every program of the project keeps the same command-line conventions: --help prints the usage to
// standard output and exits 0, --version prints "<program> 1.0.0", and a usage error prints one line
// naming the program, then the usage, to standard error, and exits 2. Scripts and packagers rely on it.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/test_environment.h"

namespace quell {
namespace {

// The programs this build made, as a '|'-separated list of paths.
std::vector<std::string> programs() {
  std::vector<std::string> paths;
  std::istringstream list(QUELL_PROGRAM_PATHS);
  for (std::string path; std::getline(list, path, '|');)
    if (!path.empty()) paths.push_back(path);
  return paths;
}

TEST(Programs, KeepTheCommandLineConventions) {
  ASSERT_GE(programs().size(), 5u);
  // Without a display: the GUI programs answer --help and --version before they look for one.
  const std::map<std::string, std::string> noDisplay = {{"QT_QPA_PLATFORM", "no-such-platform"}};
  testing::TemporaryDirectory cwd;
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(cwd.path());
  for (const std::string& program : programs()) {
    const std::string name = std::filesystem::path(program).filename();
    SCOPED_TRACE(name);
    auto help = testing::runProcess(program, {"--help"}, "", noDisplay);
    EXPECT_EQ(help.exitCode, 0) << help.err;
    EXPECT_EQ(help.out.rfind("usage: " + name, 0), 0u) << help.out;
    auto version = testing::runProcess(program, {"--version"}, "", noDisplay);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, name + " 1.0.0\n");

    auto wrong = testing::runProcess(program, {"--bogus", "x", "y"}, "", {{"QT_QPA_PLATFORM", "offscreen"}});
    EXPECT_EQ(wrong.exitCode, 2) << wrong.err;
    const auto error = wrong.err.find(name + ": ");  // one line, right before the usage
    ASSERT_NE(error, std::string::npos) << wrong.err;
    EXPECT_EQ(wrong.err.find("\nusage: " + name, error), wrong.err.find('\n', error)) << wrong.err;
    EXPECT_TRUE(wrong.out.empty()) << wrong.out;
  }
  std::filesystem::current_path(previous);
  // Nothing was written where they were run: an option is never taken for a file or folder name.
  EXPECT_TRUE(std::filesystem::is_empty(cwd.path()));
}

}  // namespace
}  // namespace quell
