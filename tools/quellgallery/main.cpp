// quellgallery: shows the UI kit's styled views, buttons and text fields, in the light and the dark
// appearance.
//   quellgallery                    a window (follows the desktop's appearance; QUELL_APPEARANCE overrides)
//   quellgallery --screenshot DIR   writes gallery-light.png, gallery-dark.png and
//                                   gallery-toggled-{light,dark}.png without showing a window
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFont>
#include <QTest>
#include <cstdio>
#include <cstring>

#include "platform/bundle.h"
#include "platform/command_line.h"
#include "platform/ui/trait_collection.h"
#include "tools/quellgallery/gallery_window.h"
#include "uikit/neumorphic_hooks.h"

const quell::BundleIdentity quell::kMainBundleIdentity = {"Quellbox", "app.quell.gallery"};

namespace {

bool save(QWidget& window, const QString& path) {
  if (window.grab().save(path)) return true;
  std::fprintf(stderr, "quellgallery: cannot write %s\n", qPrintable(path));
  return false;
}

int screenshots(const QString& dir) {
  if (!QDir().mkpath(dir)) return 1;
  quell::GalleryWindow window;
  window.setAttribute(Qt::WA_DontShowOnScreen);
  window.show();
  bool ok = true;
  for (auto style : {quell::UIUserInterfaceStyle::Light, quell::UIUserInterfaceStyle::Dark}) {
    quell::TraitCollection::setOverride(style);
    window.restyle();
    QString name = style == quell::UIUserInterfaceStyle::Dark ? "dark" : "light";
    ok &= save(window, dir + "/gallery-" + name + ".png");
    QTest::mouseClick(window.toggleButton(), Qt::LeftButton);  // pushed in
    ok &= save(window, dir + "/gallery-toggled-" + name + ".png");
    QTest::mouseClick(window.toggleButton(), Qt::LeftButton);  // back out
  }
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const quell::CommandLine commandLine("quellgallery",
                                       "usage: quellgallery                    show the UI kit's styles in a window\n"
                                       "       quellgallery --screenshot DIR   write PNGs of both appearances to DIR\n"
                                       "       quellgallery --help | --version\n");
  if (auto exit = commandLine.standardOption(argc, argv)) return *exit;
  QString screenshotDir;
  if (argc == 3 && std::strcmp(argv[1], "--screenshot") == 0)
    screenshotDir = QString::fromLocal8Bit(argv[2]);
  else if (argc != 1)
    return commandLine.usageError(std::string("unknown arguments starting at ") + argv[1]);
  if (!screenshotDir.isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setFont(QFont("Noto Sans CJK SC", 15));
  quell::installNeumorphicHooks(app);
  if (!screenshotDir.isEmpty()) return screenshots(screenshotDir);
  quell::GalleryWindow window;
  window.show();
  return app.exec();
}
