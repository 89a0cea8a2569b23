#include "platform/ui/view_background.h"

#include <QWidget>

#include "platform/ui/layer_effect.h"

namespace quell {

std::optional<UIColor> backgroundColor(QWidget* view) {
  if (!qobject_cast<LayerEffect*>(view->graphicsEffect())) return std::nullopt;
  return viewLayer(view).backgroundColor;
}

void setBackgroundColor(QWidget* view, std::optional<UIColor> color) {
  viewLayer(view).backgroundColor = std::move(color);
  layersChanged(view);
}

}  // namespace quell
