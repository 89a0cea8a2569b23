#include "uikit/palette.h"

#include "platform/ui/system_version.h"

namespace quell {

namespace {

bool isDark(const TraitCollection& traits) { return traits.userInterfaceStyle == UIUserInterfaceStyle::Dark; }

// A named colour: `light` is built afresh for each resolution; `dark` is the platform's semantic colour.
UIColor named(std::function<UIColor()> light, std::function<UIColor()> dark) {
  if (!systemSupportsDynamicColors()) return light();
  return UIColor::colorWithDynamicProvider(
      [light, dark](const TraitCollection& traits) { return isDark(traits) ? dark() : light(); });
}

UIColor rgb(int r, int g, int b) { return UIColor::colorWithRGBA(r / 255.0, g / 255.0, b / 255.0, 1.0); }

}  // namespace

UIColor qb_mainColor() {
  return named([] { return rgb(33, 81, 210); }, UIColor::systemGray6Color);
}
UIColor qb_backgroundColor() {
  return named([] { return rgb(238, 240, 244); }, UIColor::systemBackgroundColor);
}
UIColor qb_systemGray5() { return named(UIColor::whiteColor, UIColor::systemGray5Color); }
UIColor qb_systemGray6() { return named(UIColor::whiteColor, UIColor::systemGray6Color); }
UIColor qb_systemBackground() { return named(UIColor::whiteColor, UIColor::systemBackgroundColor); }
UIColor qb_label() { return named(UIColor::blackColor, UIColor::labelColor); }
// A darker grey than the platform's plain grey (808080), which reads at only 3.5:1 on the page colour.
UIColor qb_secondaryLabel() {
  return named([] { return rgb(0x66, 0x66, 0x66); }, UIColor::secondaryLabelColor);
}

UIColor create(const UIColor& light, const std::optional<UIColor>& dark) {
  if (!systemSupportsDynamicColors()) return light;
  return UIColor::colorWithDynamicProvider(
      [light, dark](const TraitCollection& traits) { return dark && isDark(traits) ? *dark : light; });
}

UIColor create(ColorFunction light, ColorFunction dark) {
  if (!systemSupportsDynamicColors()) return light();
  return UIColor::colorWithDynamicProvider([light, dark](const TraitCollection& traits) {
    if (dark && isDark(traits)) return dark();
    return light();
  });
}

}  // namespace quell
