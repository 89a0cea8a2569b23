#include "platform/ui/layer_effect.h"

#include <QImage>
#include <QPainter>
#include <QWidget>
#include <cmath>

namespace quell {

namespace {

// How far a layer's shadow can reach beyond the layer: its blur plus its offset.
double shadowReach(const Layer& layer) {
  double reach = 0;
  if (layer.shadowOpacity > 0)
    reach = layer.shadowRadius * 2 + std::max(std::abs(layer.shadowOffset.x()), std::abs(layer.shadowOffset.y()));
  for (const auto& sub : layer.sublayers()) reach = std::max(reach, shadowReach(*sub));
  return reach;
}

// Three box blurs approximate a Gaussian; each pass runs horizontally then vertically over premultiplied
// ARGB, which keeps colour and coverage together.
void boxBlur(QImage& image, int radius) {
  if (radius < 1) return;
  const int w = image.width(), h = image.height();
  std::vector<uint32_t> line(static_cast<std::size_t>(std::max(w, h)));
  auto pass = [&](bool horizontal) {
    int outer = horizontal ? h : w, inner = horizontal ? w : h;
    for (int o = 0; o < outer; ++o) {
      auto pixel = [&](int i) -> QRgb& {
        return reinterpret_cast<QRgb*>(image.scanLine(horizontal ? o : i))[horizontal ? i : o];
      };
      for (int i = 0; i < inner; ++i) line[static_cast<std::size_t>(i)] = pixel(i);
      int sums[4] = {0, 0, 0, 0};
      const int window = 2 * radius + 1;
      auto add = [&](int i, int sign) {
        if (i < 0 || i >= inner) return;
        QRgb p = line[static_cast<std::size_t>(i)];
        sums[0] += sign * qAlpha(p);
        sums[1] += sign * qRed(p);
        sums[2] += sign * qGreen(p);
        sums[3] += sign * qBlue(p);
      };
      for (int i = -radius; i <= radius; ++i) add(i, 1);
      for (int i = 0; i < inner; ++i) {
        pixel(i) = qRgba(sums[1] / window, sums[2] / window, sums[3] / window, sums[0] / window);
        add(i - radius, -1);
        add(i + radius + 1, 1);
      }
    }
  };
  for (int n = 0; n < 3; ++n) {
    pass(true);
    pass(false);
  }
}

void drawContent(QPainter& painter, const Layer& layer, const TraitCollection& traits) {
  painter.save();
  if (layer.masksToBounds) painter.setClipRect(layer.bounds(), Qt::IntersectClip);
  if (layer.mask) painter.setClipPath(*layer.mask, Qt::IntersectClip);
  if (layer.backgroundColor) painter.fillRect(layer.bounds(), layer.backgroundColor->resolvedColor(traits));
  for (const auto& sub : layer.sublayers()) drawLayer(painter, *sub, traits);
  painter.restore();
}

void drawShadow(QPainter& painter, const Layer& layer, const TraitCollection& traits) {
  QColor color = layer.shadowColor ? layer.shadowColor->resolvedColor(traits) : QColor(0, 0, 0);
  if (layer.shadowOpacity <= 0 || color.alpha() == 0) return;
  const int blur = static_cast<int>(std::ceil(layer.shadowRadius));
  const int pad = 2 * blur + 2;
  QSize size = layer.bounds().size().toSize() + QSize(2 * pad, 2 * pad);
  if (size.isEmpty()) return;
  QImage shape(size, QImage::Format_ARGB32_Premultiplied);
  shape.fill(Qt::transparent);
  {
    // The shadow is cast by whatever the layer draws: its content's coverage, tinted with the shadow colour.
    QPainter p(&shape);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(pad, pad);
    drawContent(p, layer, traits);
    p.resetTransform();
    p.setCompositionMode(QPainter::CompositionMode_SourceIn);
    p.fillRect(shape.rect(), color);
  }
  // A blur radius r spreads like a Gaussian of deviation r / 2; three box passes of radius r / 2 match it.
  boxBlur(shape, std::max(1, blur / 2));
  painter.save();
  painter.setOpacity(painter.opacity() * std::min(1.0, layer.shadowOpacity));
  painter.drawImage(layer.shadowOffset - QPointF(pad, pad), shape);
  painter.restore();
}

}  // namespace

void drawLayer(QPainter& painter, const Layer& layer, const TraitCollection& traits) {
  painter.save();
  painter.translate(layer.frame.topLeft());
  drawShadow(painter, layer, traits);
  drawContent(painter, layer, traits);
  painter.restore();
}

LayerEffect::LayerEffect(QWidget* widget) : QGraphicsEffect(widget), widget_(widget) {}

QRectF LayerEffect::boundingRectFor(const QRectF& rect) const {
  double reach = shadowReach(root_);
  return rect.adjusted(-reach, -reach, reach, reach);
}

void LayerEffect::draw(QPainter* painter) {
  QPoint offset;
  QPixmap content = sourcePixmap(Qt::LogicalCoordinates, &offset, QGraphicsEffect::NoPad);
  root_.frame = QRectF(QPointF(0, 0), widget_->size());
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing);
  painter->translate(offset);
  drawLayer(*painter, root_, TraitCollection::current());
  painter->restore();
  painter->drawPixmap(offset, content);
}

Layer& viewLayer(QWidget* widget) {
  auto* effect = qobject_cast<LayerEffect*>(widget->graphicsEffect());
  if (!effect) {
    effect = new LayerEffect(widget);
    widget->setGraphicsEffect(effect);  // the widget owns it
  }
  effect->rootLayer().frame = QRectF(QPointF(0, 0), widget->size());
  return effect->rootLayer();
}

void LayerEffect::layersChanged() {
  updateBoundingRect();
  update();
}

void layersChanged(QWidget* widget) {
  if (auto* effect = qobject_cast<LayerEffect*>(widget->graphicsEffect())) effect->layersChanged();
  widget->update();
}

}  // namespace quell
