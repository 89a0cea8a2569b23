#include "uikit/palette.h"

#include <gtest/gtest.h>

#include "platform/ui/system_version.h"

namespace quell {
namespace {

const TraitCollection kLight{UIUserInterfaceStyle::Light}, kDark{UIUserInterfaceStyle::Dark},
    kUnspecified{UIUserInterfaceStyle::Unspecified};

class Palette : public ::testing::Test {
 protected:
  void TearDown() override { setSystemSupportsDynamicColorsForTesting(std::nullopt); }
};

TEST_F(Palette, WithoutDynamicColoursEveryAccessorIsItsFixedLightVariant) {
  setSystemSupportsDynamicColorsForTesting(false);
  for (const UIColor& color : {qb_mainColor(), qb_label(), qb_backgroundColor(), qb_secondaryLabel()}) {
    EXPECT_FALSE(color.isDynamic());
    EXPECT_EQ(color.resolvedColor(kDark), color.resolvedColor(kLight));
  }
}

TEST_F(Palette, CreateFromColours) {
  const QColor r(255, 0, 0), b(0, 0, 255);
  UIColor red(r), blue(b);
  EXPECT_EQ(create(red, blue).resolvedColor(kDark), b);
  EXPECT_EQ(create(red, blue).resolvedColor(kLight), r);
  EXPECT_EQ(create(red).resolvedColor(kDark), r);
  setSystemSupportsDynamicColorsForTesting(false);
  EXPECT_FALSE(create(red, blue).isDynamic());
  EXPECT_EQ(create(red, blue).resolvedColor(kDark), r);
}

TEST_F(Palette, CreateFromFunctionsCallsThemAtTheRightTimes) {
  int lightCalls = 0, darkCalls = 0;
  auto light = [&] {
    ++lightCalls;
    return UIColor(QColor(1, 2, 3));
  };
  auto dark = [&] {
    ++darkCalls;
    return UIColor(QColor(4, 5, 6));
  };
  UIColor color = create(light, dark);
  EXPECT_EQ(lightCalls + darkCalls, 0);  // nothing is called until the colour is drawn
  EXPECT_EQ(color.resolvedColor(kDark), QColor(4, 5, 6));
  EXPECT_EQ(color.resolvedColor(kDark), QColor(4, 5, 6));
  EXPECT_EQ(color.resolvedColor(kUnspecified), QColor(1, 2, 3));
  EXPECT_EQ(darkCalls, 2);  // afresh on every resolution
  EXPECT_EQ(lightCalls, 1);
  EXPECT_EQ(create(light).resolvedColor(kDark), QColor(1, 2, 3));

  setSystemSupportsDynamicColorsForTesting(false);
  lightCalls = darkCalls = 0;
  UIColor fixed = create(light, dark);
  EXPECT_EQ(lightCalls, 1);  // once, at creation
  fixed.resolvedColor(kDark);
  fixed.resolvedColor(kLight);
  EXPECT_EQ(lightCalls, 1);
  EXPECT_EQ(darkCalls, 0);
}

}  // namespace
}  // namespace quell
