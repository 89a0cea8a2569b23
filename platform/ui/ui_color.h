// UIColor: a colour that is either fixed or dynamic (a provider that picks a colour for the appearance it is
// drawn in). Dynamic colours are resolved when drawn, so a change of appearance shows the other variant.
//
// The semantic colours stand in for the phone platform's own, with these values (sRGB, alpha 1 unless
// given):
//   whiteColor FFFFFF, blackColor 000000, grayColor 808080, clearColor transparent
//   systemGray5Color        light E5E5EA   dark 2C2C2E
//   systemGray6Color        light F2F2F7   dark 1C1C1E
//   systemBackgroundColor   light FFFFFF   dark 000000
//   labelColor              light 000000   dark FFFFFF
//   secondaryLabelColor     light 3C3C43 at 0.6   dark EBEBF5 at 0.6
//   systemBlueColor         light 0040DD          dark 409CFF   (the tint of buttons and links)
//   systemRedColor          light D70015          dark FF6961   (destructive actions)
// The two tints are the platform's increased-contrast variants, so that a button's title reads at 4.5:1 or
// better on every surface of its appearance.
#pragma once

#include <QColor>
#include <functional>
#include <memory>

#include "platform/ui/trait_collection.h"

namespace quell {

class UIColor {
 public:
  using Provider = std::function<UIColor(const TraitCollection&)>;

  UIColor() : fixed_(Qt::transparent) {}  // transparent, so that it can live in a QVariant
  UIColor(QColor fixed) : fixed_(fixed) {}
  static UIColor colorWithRGBA(double red, double green, double blue, double alpha);
  static UIColor colorWithDynamicProvider(Provider provider);

  bool isDynamic() const { return provider_ != nullptr; }
  QColor resolvedColor(const TraitCollection& traits) const;
  // Resolved against the current appearance.
  QColor resolved() const { return resolvedColor(TraitCollection::current()); }

  static UIColor whiteColor();
  static UIColor blackColor();
  static UIColor grayColor();
  static UIColor clearColor();
  static UIColor systemGray5Color();
  static UIColor systemGray6Color();
  static UIColor systemBackgroundColor();
  static UIColor labelColor();
  static UIColor secondaryLabelColor();
  static UIColor systemBlueColor();
  static UIColor systemRedColor();

 private:
  QColor fixed_;
  std::shared_ptr<const Provider> provider_;
};

}  // namespace quell
