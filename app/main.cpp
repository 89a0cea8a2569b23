// quellbox: the companion app. Edits the rule lists the filter uses. (Pictures of its screens come from
// tools/quellshots, which drives the same screens.)
#include <QApplication>
#include <QFont>
#include <cstdio>
#include <cstring>

#include "app/app_delegate.h"
#include "app/launch_interface.h"
#include "platform/bundle.h"
#include "uikit/neumorphic_hooks.h"

const quell::BundleIdentity quell::kMainBundleIdentity = {"Quellbox", "app.quell.Quellbox"};

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      // Answered before any window system is touched, so it works on a machine without a display.
      std::printf("usage: quellbox    open the app: edit the rule lists of the Quell SMS filter\n");
      return 0;
    }
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("Quellbox");
  QApplication::setDesktopFileName("quellbox");
  QApplication::setFont(QFont("Noto Sans CJK SC", 15));
  quell::installNeumorphicHooks(app);
  quell::AppDelegate().didFinishLaunching();
  quell::LaunchInterface window;
  window.show();
  return app.exec();
}
