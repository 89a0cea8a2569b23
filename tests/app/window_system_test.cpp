// quellbox where it cannot open a window: one line saying what is missing and what to install, exit 1,
// instead of Qt's abort.
#include <gtest/gtest.h>

#include "tests/support/test_environment.h"

namespace quell {
namespace {

// quellbox started with `env` over an environment without any display or platform choice.
testing::ProcessResult startWithout(std::map<std::string, std::string> env) {
  testing::TemporaryDirectory runtime;  // no Wayland socket in it
  std::map<std::string, std::string> bare = {{"DISPLAY", ""},
                                             {"WAYLAND_DISPLAY", ""},
                                             {"QT_QPA_PLATFORM", ""},
                                             {"XDG_SESSION_TYPE", ""},
                                             {"XDG_RUNTIME_DIR", runtime.path().string()}};
  env.merge(bare);  // the test's own values win
  return testing::runProcess(QUELLBOX_PATH, {}, "", env, std::chrono::seconds(60));
}

void expectOneLine(const testing::ProcessResult& result, const std::string& saying) {
  EXPECT_EQ(result.exitCode, 1) << result.err;  // not a signal: -1
  ASSERT_EQ(testing::splitLines(result.err).size(), 1u) << result.err;
  EXPECT_EQ(result.err.rfind("quellbox: ", 0), 0u) << result.err;
  EXPECT_NE(result.err.find(saying), std::string::npos) << result.err;
}

TEST(WindowSystem, NoDisplaySaysSoInOneLine) { expectOneLine(startWithout({}), "no display to open a window on"); }

TEST(WindowSystem, AMissingPlatformPluginIsNamedWithWhatToInstall) {
  expectOneLine(startWithout({{"QT_QPA_PLATFORM", "quellnone"}}),
                "the Qt platform plugin \"quellnone\" is not installed");
  // Wayland: either its plugin is missing (qt6-wayland) or there is no compositor to reach.
  auto wayland = startWithout({{"QT_QPA_PLATFORM", "wayland"}});
  expectOneLine(wayland, "");
  EXPECT_TRUE(wayland.err.find("install qt6-wayland") != std::string::npos ||
              wayland.err.find("no Wayland compositor") != std::string::npos)
      << wayland.err;
}

// A display is named but does not answer: Qt's own start fails, and that too ends in one line and exit 1.
TEST(WindowSystem, ADisplayThatDoesNotAnswerEndsInOneLine) {
  expectOneLine(startWithout({{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", ":97"}}), "the window system could not start");
}

}  // namespace
}  // namespace quell
