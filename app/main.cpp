// quellbox: the companion app. Edits the rule lists the filter uses.
//   quellbox                     the app's window
//   quellbox --screenshot DIR    PNGs of its screens in both appearances, without a window, on a fresh
//                                temporary settings store (the user's lists are not touched)
#include <QApplication>
#include <QFont>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>

#include "app/app_delegate.h"
#include "app/launch_interface.h"
#include "app/screenshots.h"
#include "platform/bundle.h"
#include "uikit/neumorphic_hooks.h"

const quell::BundleIdentity quell::kMainBundleIdentity = {"Quellbox", "app.quell.Quellbox"};

int main(int argc, char** argv) {
  QString screenshotDir;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      // Answered before any window system is touched, so it works on a machine without a display.
      std::printf(
          "usage: quellbox                  open the app: edit the rule lists of the Quell SMS filter\n"
          "       quellbox --screenshot DIR write PNGs of its screens in both appearances\n");
      return 0;
    }
    if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) screenshotDir = QString::fromLocal8Bit(argv[++i]);
  }
  std::unique_ptr<QTemporaryDir> store;
  if (!screenshotDir.isEmpty()) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    store = std::make_unique<QTemporaryDir>();
    qputenv("XDG_DATA_HOME", store->path().toUtf8());
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("Quellbox");
  QApplication::setDesktopFileName("quellbox");
  QApplication::setFont(QFont("Noto Sans CJK SC", 15));
  quell::installNeumorphicHooks(app);
  quell::AppDelegate().didFinishLaunching();
  if (!screenshotDir.isEmpty()) return quell::writeScreenshots(screenshotDir) ? 0 : 1;
  quell::LaunchInterface window;
  window.show();
  return app.exec();
}
