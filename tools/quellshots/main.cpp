// quellshots: writes PNGs of the companion app's screens in both appearances, without showing a window, on
// fresh temporary settings stores (the user's lists are not touched). For people checking the look, and
// for the README's pictures.
//   quellshots DIR
#include <QApplication>

#include "app/app_font.h"
#include "platform/bundle.h"
#include "platform/command_line.h"
#include "tools/quellshots/phone_services.h"
#include "tools/quellshots/screen_tour.h"
#include "uikit/neumorphic_hooks.h"

// The app's own bundle: the tour shows its images and reads its resources.
const quell::BundleIdentity quell::kMainBundleIdentity = {"Quellbox", "app.quell.Quellbox"};

int main(int argc, char** argv) {
  const quell::CommandLine commandLine(
      "quellshots",
      "usage: quellshots DIR   write PNGs of Quellbox's screens in both appearances to DIR\n"
      "       quellshots --help | --version\n");
  if (auto exit = commandLine.standardOption(argc, argv)) return *exit;
  if (argc != 2) return commandLine.usageError("one output folder, DIR, is needed");
  if (argv[1][0] == '-') return commandLine.usageError(std::string("unknown option ") + argv[1]);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  quell::PhoneServices phoneServices;  // before the settings page first asks the buses
  QApplication::setFont(quell::appFont());
  quell::installNeumorphicHooks(app);
  return quell::writeScreenTour(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
