// quellbox: the companion app. Edits the rule lists the filter uses. (Pictures of its screens come from
// tools/quellshots, which drives the same screens.)
#include <QApplication>
#include <cstdio>

#include "app/app_delegate.h"
#include "app/app_font.h"
#include "app/launch_interface.h"
#include "app/window_system_check.h"
#include "platform/bundle.h"
#include "platform/command_line.h"
#include "uikit/neumorphic_hooks.h"

const quell::BundleIdentity quell::kMainBundleIdentity = {"Quellbox", "app.quell.Quellbox"};

int main(int argc, char** argv) {
  // Answered before any window system is touched, so they work on a machine without a display.
  const quell::CommandLine commandLine("quellbox",
                                       "usage: quellbox    open the app: edit the rule lists of the Quell SMS filter\n"
                                       "       quellbox --help | --version\n");
  if (auto exitCode = commandLine.standardOption(argc, argv)) return *exitCode;
  if (auto missing = quell::missingWindowSystem(argc, argv)) {
    std::fprintf(stderr, "%s\n", missing->c_str());
    return 1;
  }
  quell::beginPlatformStartGuard();
  QApplication app(argc, argv);
  quell::endPlatformStartGuard();
  // Qt took its own options (-platform, ...); the app has none.
  if (QApplication::arguments().size() > 1)
    return commandLine.usageError("unknown argument " + QApplication::arguments()[1].toStdString());
  QApplication::setApplicationName("Quellbox");
  QApplication::setDesktopFileName("quellbox");
  QApplication::setFont(quell::appFont());
  quell::installNeumorphicHooks(app);
  quell::AppDelegate().didFinishLaunching();
  quell::LaunchInterface window;
  window.show();
  return app.exec();
}
