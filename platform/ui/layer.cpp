#include "platform/ui/layer.h"

#include <algorithm>

namespace quell {

Layer* Layer::addSublayer(std::unique_ptr<Layer> layer) { return insertSublayer(std::move(layer), sublayers_.size()); }

Layer* Layer::insertSublayer(std::unique_ptr<Layer> layer, std::size_t index) {
  if (layer->superlayer_) layer = layer->removeFromSuperlayer();
  layer->superlayer_ = this;
  index = std::min(index, sublayers_.size());
  return sublayers_.insert(sublayers_.begin() + static_cast<std::ptrdiff_t>(index), std::move(layer))->get();
}

std::unique_ptr<Layer> Layer::removeFromSuperlayer() {
  if (!superlayer_) return nullptr;
  auto& siblings = superlayer_->sublayers_;
  auto it = std::find_if(siblings.begin(), siblings.end(), [this](const auto& l) { return l.get() == this; });
  std::unique_ptr<Layer> self = std::move(*it);
  siblings.erase(it);
  superlayer_ = nullptr;
  return self;
}

}  // namespace quell
