#include "platform/ui/ui_color.h"

namespace quell {

namespace {

UIColor semantic(QColor light, QColor dark) {
  return UIColor::colorWithDynamicProvider([light, dark](const TraitCollection& traits) {
    return UIColor(traits.userInterfaceStyle == UIUserInterfaceStyle::Dark ? dark : light);
  });
}

}  // namespace

UIColor UIColor::colorWithRGBA(double red, double green, double blue, double alpha) {
  return UIColor(QColor::fromRgbF(static_cast<float>(red), static_cast<float>(green), static_cast<float>(blue),
                                  static_cast<float>(alpha)));
}

UIColor UIColor::colorWithDynamicProvider(Provider provider) {
  UIColor color{QColor()};
  color.provider_ = std::make_shared<const Provider>(std::move(provider));
  return color;
}

QColor UIColor::resolvedColor(const TraitCollection& traits) const {
  if (!provider_) return fixed_;
  return (*provider_)(traits).resolvedColor(traits);
}

UIColor UIColor::whiteColor() { return UIColor(QColor(255, 255, 255)); }
UIColor UIColor::blackColor() { return UIColor(QColor(0, 0, 0)); }
UIColor UIColor::grayColor() { return UIColor(QColor(128, 128, 128)); }
UIColor UIColor::clearColor() { return UIColor(QColor(0, 0, 0, 0)); }
UIColor UIColor::systemGray5Color() { return semantic(QColor(0xE5, 0xE5, 0xEA), QColor(0x2C, 0x2C, 0x2E)); }
UIColor UIColor::systemGray6Color() { return semantic(QColor(0xF2, 0xF2, 0xF7), QColor(0x1C, 0x1C, 0x1E)); }
UIColor UIColor::systemBackgroundColor() { return semantic(QColor(255, 255, 255), QColor(0, 0, 0)); }
UIColor UIColor::labelColor() { return semantic(QColor(0, 0, 0), QColor(255, 255, 255)); }
UIColor UIColor::secondaryLabelColor() {
  return semantic(QColor(0x3C, 0x3C, 0x43, 153), QColor(0xEB, 0xEB, 0xF5, 153));
}
UIColor UIColor::systemBlueColor() { return semantic(QColor(0x00, 0x40, 0xDD), QColor(0x40, 0x9C, 0xFF)); }
UIColor UIColor::systemRedColor() { return semantic(QColor(0xD7, 0x00, 0x15), QColor(0xFF, 0x69, 0x61)); }

}  // namespace quell
