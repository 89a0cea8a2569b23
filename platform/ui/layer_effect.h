// The layer tree of a widget, drawn below the widget's own content.
//
// viewLayer(widget) gives the widget's root layer, creating it on first use. The root layer's frame is the
// widget's rectangle and its background colour is the widget's background colour (view_background.h). The
// tree is drawn by a QGraphicsEffect on the widget, which lets shadows fall outside the widget's bounds as
// the phone's do. Call layersChanged(widget) after changing the tree. Main thread only.
#pragma once

#include <QGraphicsEffect>

#include "platform/ui/layer.h"

class QWidget;

namespace quell {

class LayerEffect : public QGraphicsEffect {
  Q_OBJECT

 public:
  explicit LayerEffect(QWidget* widget);
  Layer& rootLayer() { return root_; }
  // Schedules a redraw after the tree changed; shadows may now reach further.
  void layersChanged();
  QRectF boundingRectFor(const QRectF& rect) const override;

 protected:
  void draw(QPainter* painter) override;

 private:
  QWidget* widget_;
  Layer root_;
};

Layer& viewLayer(QWidget* widget);
void layersChanged(QWidget* widget);

// Draws layer (and its sublayers) with its frame placed in painter's current coordinates: its shadow
// first, then its background, then its sublayers in order. Exposed for tests and for rendering a tree
// without a widget.
void drawLayer(QPainter& painter, const Layer& layer, const TraitCollection& traits);

}  // namespace quell
