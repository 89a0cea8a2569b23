#include "platform/ui/trait_collection.h"

#include <QApplication>
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

}  // namespace

TraitCollection TraitCollection::current() {
  if (overrideStyle()) return {*overrideStyle()};
  if (!qApp) return {UIUserInterfaceStyle::Light};
  bool dark = QGuiApplication::palette().color(QPalette::Window).lightness() < 128;
  return {dark ? UIUserInterfaceStyle::Dark : UIUserInterfaceStyle::Light};
}

void TraitCollection::setOverride(std::optional<UIUserInterfaceStyle> style) {
  overrideStyle() = style;
  if (!qApp) return;
  for (QWidget* widget : QApplication::allWidgets()) {
    if (auto* effect = widget->graphicsEffect()) effect->update();
    widget->update();
  }
}

}  // namespace quell
