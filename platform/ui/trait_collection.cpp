#include "platform/ui/trait_collection.h"

#include <QApplication>
#include <QEvent>
#include <QGraphicsEffect>
#include <QPalette>
#include <QWidget>
#include <cstdlib>
#include <cstring>

namespace quell {

namespace {

std::optional<UIUserInterfaceStyle>& overrideStyle() {
  static std::optional<UIUserInterfaceStyle> style = []() -> std::optional<UIUserInterfaceStyle> {
    const char* chosen = std::getenv("QUELL_APPEARANCE");
    if (chosen && std::strcmp(chosen, "dark") == 0) return UIUserInterfaceStyle::Dark;
    if (chosen && std::strcmp(chosen, "light") == 0) return UIUserInterfaceStyle::Light;
    return std::nullopt;
  }();
  return style;
}

// Repaints every widget and its graphics effect (the layers drawn below it), so that dynamic colours are
// resolved anew.
void repaintEverything() {
  if (!qApp) return;
  for (QWidget* widget : QApplication::allWidgets()) {
    if (auto* effect = widget->graphicsEffect()) effect->update();
    widget->update();
  }
}

class DesktopAppearanceWatcher : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange) repaintEverything();
    return false;
  }
};

}  // namespace

void TraitCollection::followDesktopAppearance() {
  static DesktopAppearanceWatcher* watcher = nullptr;
  if (watcher || !qApp) return;
  watcher = new DesktopAppearanceWatcher;
  watcher->setParent(qApp);
  qApp->installEventFilter(watcher);
}

TraitCollection TraitCollection::current() {
  if (overrideStyle()) return {*overrideStyle()};
  if (!qApp) return {UIUserInterfaceStyle::Light};
  bool dark = QGuiApplication::palette().color(QPalette::Window).lightness() < 128;
  return {dark ? UIUserInterfaceStyle::Dark : UIUserInterfaceStyle::Light};
}

void TraitCollection::setOverride(std::optional<UIUserInterfaceStyle> style) {
  overrideStyle() = style;
  repaintEverything();
}

}  // namespace quell
