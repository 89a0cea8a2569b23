// Layer: one node of the tree of drawn layers under a widget, as the phone's toolkit composes views.
//
// A layer has a frame in its superlayer's coordinates, an optional background colour, a shadow (colour,
// offset, blur radius, opacity), an optional mask path in its own coordinates, clipping to its bounds, and
// sublayers drawn in order (index 0 lowest). A layer owns its sublayers. The root layer of a widget is
// reached with viewLayer() (layer_effect.h) and is drawn below the widget's own content.
#pragma once

#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/ui_color.h"

namespace quell {

class Layer {
 public:
  explicit Layer(std::string name = {}) : name(std::move(name)) {}

  std::string name;
  QRectF frame;
  std::optional<UIColor> backgroundColor;
  std::optional<UIColor> shadowColor;  // none: opaque black, as the platform's default
  QPointF shadowOffset{0, -3};
  double shadowRadius = 3;
  double shadowOpacity = 0;  // no shadow until set
  std::optional<QPainterPath> mask;
  bool masksToBounds = false;

  QRectF bounds() const { return QRectF(QPointF(0, 0), frame.size()); }
  Layer* superlayer() const { return superlayer_; }
  const std::vector<std::unique_ptr<Layer>>& sublayers() const { return sublayers_; }

  Layer* addSublayer(std::unique_ptr<Layer> layer);
  // Inserts at index (clamped to the number of sublayers).
  Layer* insertSublayer(std::unique_ptr<Layer> layer, std::size_t index);
  // Takes this layer out of its superlayer and hands it to the caller (nullptr for a root layer).
  std::unique_ptr<Layer> removeFromSuperlayer();

 private:
  Layer* superlayer_ = nullptr;
  std::vector<std::unique_ptr<Layer>> sublayers_;
};

}  // namespace quell
