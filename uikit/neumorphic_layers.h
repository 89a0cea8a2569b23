// What the view, button and text field styles share: taking an earlier application's shadow layers off a
// widget, and building a named shadow layer holding one rounded face.
#pragma once

#include <QPainterPath>
#include <optional>
#include <string>

#include "platform/ui/layer.h"

class QWidget;

namespace quell {

inline constexpr const char* kShadowDarkLayer = "shadowDark";
inline constexpr const char* kShadowLightLayer = "shadowLight";

// Corner flags: top-left 1, top-right 2, bottom-left 4, bottom-right 8.
enum Corner : int { kTopLeft = 1, kTopRight = 2, kBottomLeft = 4, kBottomRight = 8 };

// The corners that cornersLeft (5) and cornersRight (10) of the widget select.
int selectedCorners(const QWidget* widget);

// rect with the given corners rounded by radius (at most half the shorter side).
QPainterPath roundedRectPath(const QRectF& rect, int corners, double radius);

// Removes every "shadowDark" and "shadowLight" layer of the widget; for each one that holds a face, gives
// the widget back the face's colour (transparent when the face has none).
void removeShadowLayers(QWidget* widget);

// How a style builds its pair of shadow layers.
struct ShadowStyle {
  std::optional<UIColor> faceColor;
  const char* faceName = "";
  double blurRadius = 4;
  bool castsShadows = true;  // false: the shadows are transparent (a disabled button looks flat)
  // Bottom: below everything the widget has, the light layer lowest and the dark one above it. Top: above
  // the widget's other layers (right below its own content), the dark layer and the light one above it.
  enum class Placement { kBottom, kTop } placement = Placement::kBottom;
};

// Builds the widget's "shadowDark" and "shadowLight" layers from its style properties (corners, corner
// radius, offsets, shadow colours), each holding one face of the widget's bounds that casts the shadow.
void addShadowLayers(QWidget* widget, const ShadowStyle& style);

// The shadow offsets of the widget, mirrored when `reverse` is set.
QPointF darkShadowOffset(const QWidget* widget);
QPointF lightShadowOffset(const QWidget* widget);

// The shadow colours: the widget's own when set, else the style's defaults (RGB 8, 8, 33 at 0.12 for the
// dark shadow; white at 0.7 for the light one).
UIColor darkShadowColorOrDefault(const QWidget* widget);
UIColor lightShadowColorOrDefault(const QWidget* widget);

}  // namespace quell
