#include "uikit/neumorphic_layers.h"

#include <QWidget>
#include <algorithm>

#include "platform/ui/layer_effect.h"
#include "platform/ui/view_background.h"
#include "uikit/view_style.h"

namespace quell {

int selectedCorners(const QWidget* widget) {
  return (cornersLeft.get(widget) ? kTopLeft | kBottomLeft : 0) |
         (cornersRight.get(widget) ? kTopRight | kBottomRight : 0);
}

QPainterPath roundedRectPath(const QRectF& rect, int corners, double radius) {
  double r = std::clamp(radius, 0.0, std::min(rect.width(), rect.height()) / 2);
  auto rounded = [&](Corner c) { return (corners & c) && r > 0; };
  QPainterPath path;
  path.moveTo(rect.left() + (rounded(kTopLeft) ? r : 0), rect.top());
  path.lineTo(rect.right() - (rounded(kTopRight) ? r : 0), rect.top());
  if (rounded(kTopRight)) path.arcTo(rect.right() - 2 * r, rect.top(), 2 * r, 2 * r, 90, -90);
  path.lineTo(rect.right(), rect.bottom() - (rounded(kBottomRight) ? r : 0));
  if (rounded(kBottomRight)) path.arcTo(rect.right() - 2 * r, rect.bottom() - 2 * r, 2 * r, 2 * r, 0, -90);
  path.lineTo(rect.left() + (rounded(kBottomLeft) ? r : 0), rect.bottom());
  if (rounded(kBottomLeft)) path.arcTo(rect.left(), rect.bottom() - 2 * r, 2 * r, 2 * r, 270, -90);
  path.lineTo(rect.left(), rect.top() + (rounded(kTopLeft) ? r : 0));
  if (rounded(kTopLeft)) path.arcTo(rect.left(), rect.top(), 2 * r, 2 * r, 180, -90);
  path.closeSubpath();
  return path;
}

void removeShadowLayers(QWidget* widget) {
  Layer& root = viewLayer(widget);
  std::vector<Layer*> earlier;
  for (const auto& layer : root.sublayers())
    if (layer->name == kShadowDarkLayer || layer->name == kShadowLightLayer) earlier.push_back(layer.get());
  for (Layer* layer : earlier) {
    auto removed = layer->removeFromSuperlayer();
    if (!removed->sublayers().empty())
      setBackgroundColor(widget, removed->sublayers().front()->backgroundColor.value_or(UIColor::clearColor()));
  }
}

namespace {

std::unique_ptr<Layer> makeShadowLayer(const QWidget* widget, const char* name, const ShadowStyle& style,
                                       QPointF offset, const UIColor& color) {
  QRectF bounds(QPointF(0, 0), widget->size());
  auto face = std::make_unique<Layer>(style.faceName);
  face->frame = bounds;
  face->backgroundColor = style.faceColor;
  face->mask = roundedRectPath(face->bounds(), selectedCorners(widget), cornerRadius.get(widget));
  face->masksToBounds = true;

  auto shadow = std::make_unique<Layer>(name);
  shadow->frame = bounds;
  shadow->shadowRadius = style.blurRadius;
  shadow->shadowOpacity = 1;
  shadow->shadowOffset = offset;
  shadow->shadowColor = style.castsShadows ? color : UIColor::clearColor();
  shadow->addSublayer(std::move(face));
  return shadow;
}

}  // namespace

void addShadowLayers(QWidget* widget, const ShadowStyle& style) {
  auto dark =
      makeShadowLayer(widget, kShadowDarkLayer, style, darkShadowOffset(widget), darkShadowColorOrDefault(widget));
  auto light =
      makeShadowLayer(widget, kShadowLightLayer, style, lightShadowOffset(widget), lightShadowColorOrDefault(widget));
  Layer& root = viewLayer(widget);
  if (style.placement == ShadowStyle::Placement::kBottom) {
    root.insertSublayer(std::move(dark), 0);
    root.insertSublayer(std::move(light), 0);
  } else {
    root.addSublayer(std::move(dark));
    root.addSublayer(std::move(light));
  }
}

QPointF darkShadowOffset(const QWidget* widget) {
  double f = reverse.get(widget) ? -1 : 1;
  return {f * shadowDarkOffsetX.get(widget), f * shadowDarkOffsetY.get(widget)};
}

QPointF lightShadowOffset(const QWidget* widget) {
  double f = reverse.get(widget) ? -1 : 1;
  return {f * shadowLightOffsetX.get(widget), f * shadowLightOffsetY.get(widget)};
}

UIColor darkShadowColorOrDefault(const QWidget* widget) {
  return darkShadowColor.stored(widget).value_or(UIColor::colorWithRGBA(8 / 255.0, 8 / 255.0, 33 / 255.0, 0.12));
}

UIColor lightShadowColorOrDefault(const QWidget* widget) {
  return lightShadowColor.stored(widget).value_or(UIColor::colorWithRGBA(1, 1, 1, 0.7));
}

}  // namespace quell
