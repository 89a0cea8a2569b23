// quellshots: writes PNGs of the companion app's screens in both appearances, without showing a window, on
// a fresh temporary settings store (the user's lists are not touched). For people checking the look, and
// for the README's pictures.
//   quellshots DIR
#include <QApplication>
#include <QFont>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

#include "app/app_delegate.h"
#include "app/app_font.h"
#include "platform/bundle.h"
#include "tools/quellshots/phone_services.h"
#include "tools/quellshots/screen_tour.h"
#include "uikit/neumorphic_hooks.h"

// The app's own bundle: the tour shows its images and reads its resources.
const quell::BundleIdentity quell::kMainBundleIdentity = {"Quellbox", "app.quell.Quellbox"};

int main(int argc, char** argv) {
  if (argc != 2 || argv[1][0] == '-') {
    std::fprintf(stderr, "usage: quellshots DIR   write PNGs of Quellbox's screens in both appearances to DIR\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir store;
  if (!store.isValid()) {
    std::fprintf(stderr, "quellshots: cannot make a temporary settings store\n");
    return 1;
  }
  qputenv("XDG_DATA_HOME", store.path().toUtf8());
  QApplication app(argc, argv);
  quell::PhoneServices phoneServices;  // before the settings page first asks the buses
  QApplication::setFont(quell::appFont());
  quell::installNeumorphicHooks(app);
  quell::AppDelegate().didFinishLaunching();
  return quell::writeScreenTour(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
