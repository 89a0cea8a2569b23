#include "platform/ui/dynamic_palette.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <map>

namespace quell {

namespace {

// Resolves a widget's dynamic palette colours just before it paints, and puts those that changed into its
// palette.
class PaletteKeeper : public QObject {
 public:
  static constexpr const char* kName = "quell-dynamic-palette";

  static PaletteKeeper* of(QWidget* widget) {
    if (auto* keeper = widget->findChild<QObject*>(kName, Qt::FindDirectChildrenOnly))
      return static_cast<PaletteKeeper*>(keeper);
    return new PaletteKeeper(widget);
  }

  void set(QWidget* widget, QPalette::ColorRole role, UIColor color) {
    colors_.insert_or_assign(role, std::move(color));
    apply(widget);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) apply(static_cast<QWidget*>(watched));
    return false;
  }

 private:
  explicit PaletteKeeper(QWidget* widget) : QObject(widget) {
    setObjectName(kName);
    widget->installEventFilter(this);
  }

  void apply(QWidget* widget) {
    QPalette palette = widget->palette();
    bool changed = false;
    for (const auto& [role, color] : colors_) {
      const QColor resolved = color.resolved();
      if (palette.color(role) == resolved) continue;
      palette.setColor(role, resolved);
      changed = true;
    }
    if (changed) widget->setPalette(palette);
  }

  std::map<QPalette::ColorRole, UIColor> colors_;
};

UIColor fieldColor(QColor light, QColor dark) {
  return UIColor::colorWithDynamicProvider([light, dark](const TraitCollection& traits) {
    return UIColor(traits.userInterfaceStyle == UIUserInterfaceStyle::Dark ? dark : light);
  });
}

}  // namespace

void setDynamicPaletteColor(QWidget* widget, QPalette::ColorRole role, const UIColor& color) {
  PaletteKeeper::of(widget)->set(widget, role, color);
}

void setTextColor(QLabel* label, const UIColor& color) {
  setDynamicPaletteColor(label, QPalette::WindowText, color);
  setDynamicPaletteColor(label, QPalette::Text, color);
}

void setTextFieldColors(QLineEdit* field) {
  setDynamicPaletteColor(field, QPalette::Base, fieldColor(QColor(255, 255, 255), QColor(0x1C, 0x1C, 0x1E)));
  setDynamicPaletteColor(field, QPalette::Text, UIColor::labelColor());
  setDynamicPaletteColor(field, QPalette::PlaceholderText,
                         fieldColor(QColor(0x66, 0x66, 0x66), QColor(0xEB, 0xEB, 0xF5, 153)));
}

}  // namespace quell
