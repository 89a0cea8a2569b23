// The styles as a person sees them: widgets rendered offscreen and their pixels checked, plus the layer
// tree and the property store where the pixels cannot tell.
#include <gtest/gtest.h>

#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <memory>

#include "platform/ui/impact_feedback.h"
#include "platform/ui/layer_effect.h"
#include "platform/ui/view_background.h"
#include "uikit/button_style.h"
#include "uikit/palette.h"
#include "uikit/raised_face.h"
#include "uikit/text_field_style.h"
#include "uikit/view_style.h"

namespace quell {
namespace {

const QColor kBackground(238, 240, 244);

// A 300 x 300 screen in the page colour with one 100 x 100 child at (100, 100).
class Screen : public ::testing::Test {
 protected:
  void SetUp() override {
    TraitCollection::setOverride(UIUserInterfaceStyle::Light);
    screen_ = std::make_unique<QWidget>();
    screen_->resize(300, 300);
    setBackgroundColor(screen_.get(), qb_backgroundColor());
  }
  void TearDown() override { TraitCollection::setOverride(std::nullopt); }

  // A child raised as the app's panels are.
  template <typename W>
  W* child(double radius = 20) {
    auto* widget = new W(screen_.get());
    widget->setGeometry(100, 100, 100, 100);
    makeRaised(widget, radius);
    return widget;
  }
  QImage render() {
    screen_->show();
    return screen_->grab().toImage();
  }
  static int brightness(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)); }
  static std::vector<std::string> layerNames(QWidget* widget) {
    std::vector<std::string> names;
    for (const auto& layer : viewLayer(widget).sublayers()) names.push_back(layer->name);
    return names;
  }

  std::unique_ptr<QWidget> screen_;
};

TEST_F(Screen, DarkShadowFallsWhereItsOffsetPoints) {
  QWidget* view = child<QWidget>();
  applyNeumorphicStyle(view);
  QImage raised = render();
  const int plain = brightness(raised, 20, 20);
  EXPECT_EQ(raised.pixelColor(20, 20), kBackground);
  // Below right of the face: the dark shadow. Above left: the light one.
  EXPECT_LT(brightness(raised, 150, 205), plain - 6);
  EXPECT_GT(brightness(raised, 150, 95), plain + 2);
  // The face itself is the page colour.
  EXPECT_EQ(raised.pixelColor(150, 150), kBackground);
}

TEST_F(Screen, CornersOutsideTheRadiusShowThePageAndSquareFacesFillThem) {
  QWidget* view = child<QWidget>(30);
  setBackgroundColor(view, UIColor(QColor(200, 30, 30)));
  darkShadowColor.set(view, UIColor::clearColor());
  lightShadowColor.set(view, UIColor::clearColor());
  applyNeumorphicStyle(view);
  QImage rounded = render();
  EXPECT_EQ(rounded.pixelColor(150, 150), QColor(200, 30, 30));
  EXPECT_EQ(rounded.pixelColor(101, 101), kBackground);  // outside the top-left arc
  EXPECT_EQ(rounded.pixelColor(198, 198), kBackground);

  cornersLeft.set(view, false);
  applyNeumorphicStyle(view);
  QImage half = render();
  EXPECT_EQ(half.pixelColor(101, 101), QColor(200, 30, 30));  // square on the left
  EXPECT_EQ(half.pixelColor(198, 101), kBackground);          // still round on the right
  cornersRight.set(view, false);
  applyNeumorphicStyle(view);
  EXPECT_EQ(render().pixelColor(198, 198), QColor(200, 30, 30));
}

TEST_F(Screen, StylingIsOnlyForExplicitlyActiveViewsAndNeverStacks) {
  auto* view = new QWidget(screen_.get());
  view->resize(100, 100);
  setBackgroundColor(view, UIColor(QColor(10, 20, 30)));
  EXPECT_TRUE(active.get(view));
  applyNeumorphicStyle(view);
  EXPECT_TRUE(layerNames(view).empty());
  EXPECT_EQ(backgroundColor(view)->resolved(), QColor(10, 20, 30));

  active.set(view, true);
  applyNeumorphicStyle(view);
  applyNeumorphicStyle(view);
  EXPECT_EQ(layerNames(view), (std::vector<std::string>{"shadowLight", "shadowDark"}));
  EXPECT_EQ(backgroundColor(view)->resolved().alpha(), 0);
  const Layer& face = *viewLayer(view).sublayers()[1]->sublayers()[0];
  EXPECT_EQ(face.backgroundColor->resolved(), QColor(10, 20, 30));

  // A new colour set on a styled view gives way to the one kept in the faces.
  setBackgroundColor(view, UIColor(QColor(250, 0, 0)));
  applyNeumorphicStyle(view);
  EXPECT_EQ(viewLayer(view).sublayers()[1]->sublayers()[0]->backgroundColor->resolved(), QColor(10, 20, 30));
}

TEST_F(Screen, PropertiesDieWithTheirWidget) {
  std::vector<std::unique_ptr<QWidget>> keep;
  auto* first = new QWidget;
  const void* address = first;
  cornerRadius.set(first, 20);
  active.set(first, false);
  delete first;
  // Allocate until the allocator hands out the same address again (it usually does at once).
  for (int i = 0; i < 200; ++i) {
    keep.push_back(std::make_unique<QWidget>());
    if (keep.back().get() == address) break;
  }
  QWidget* reused = keep.back().get();
  EXPECT_EQ(cornerRadius.get(reused), 0.0);
  EXPECT_FALSE(active.stored(reused));
  if (reused != address) GTEST_SKIP() << "the address was not reused; the unset values were still checked";
}

TEST_F(Screen, DisabledButtonHasFacesButNoShadows) {
  auto* button = child<QPushButton>();
  button->setEnabled(false);
  applyButtonStyle(button);
  QImage flat = render();
  EXPECT_EQ(flat.pixelColor(150, 205), kBackground);
  EXPECT_EQ(flat.pixelColor(150, 95), kBackground);
  EXPECT_EQ(viewLayer(button).sublayers().size(), 2u);
  button->setEnabled(true);  // the hooks restyle on the change
  EXPECT_LT(brightness(render(), 150, 205), qGray(kBackground.rgb()) - 6);
}

TEST_F(Screen, PlainButtonPressesInWhileHeldWithOneMediumImpact) {
  auto* button = child<QPushButton>();
  hapticLevel.set(button, 2);
  render();
  UIImpactFeedbackGenerator::clearFiredImpacts();
  QTest::mousePress(button, Qt::LeftButton);
  EXPECT_TRUE(reverse.get(button));
  EXPECT_LT(brightness(render(), 150, 95), qGray(kBackground.rgb()) - 6);  // the dark shadow moved up-left
  EXPECT_EQ(UIImpactFeedbackGenerator::firedImpacts(), std::vector<int>{1});
  QTest::mouseRelease(button, Qt::LeftButton);
  EXPECT_FALSE(reverse.get(button));
  EXPECT_FALSE(selected.get(button));
  EXPECT_EQ(UIImpactFeedbackGenerator::firedImpacts(), std::vector<int>{1});  // none on release
  EXPECT_LT(brightness(render(), 150, 205), qGray(kBackground.rgb()) - 6);    // the dark shadow back below
}

TEST_F(Screen, ToggleButtonStaysPushedInWithItsHighlightFace) {
  auto* button = child<QPushButton>();
  isToggle.set(button, true);
  normalColor.set(button, qb_backgroundColor());
  highligthColor.set(button, UIColor(QColor(30, 200, 90)));
  render();
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_TRUE(selected.get(button));
  EXPECT_TRUE(reverse.get(button));
  QImage pushed = render();
  EXPECT_EQ(pushed.pixelColor(150, 110), QColor(30, 200, 90));
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_FALSE(selected.get(button));
  EXPECT_FALSE(reverse.get(button));
  EXPECT_EQ(render().pixelColor(150, 110), kBackground);
}

TEST_F(Screen, ButtonsNeverSetActiveAreLeftAsQtMadeThem) {
  auto* button = new QPushButton("按钮", screen_.get());
  button->setGeometry(100, 100, 100, 40);
  hapticLevel.set(button, 3);
  render();
  UIImpactFeedbackGenerator::clearFiredImpacts();
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_TRUE(UIImpactFeedbackGenerator::firedImpacts().empty());
  EXPECT_FALSE(reverse.stored(button));
  EXPECT_EQ(button->graphicsEffect(), nullptr);
}

TEST_F(Screen, TextFieldGetsItsMarginFacesAndNoFrame) {
  auto* field = child<QLineEdit>(0);
  setBackgroundColor(field, std::nullopt);
  render();  // loading styles it
  EXPECT_EQ(field->textMargins().left(), 20);
  EXPECT_EQ(field->textMargins().right(), 20);
  EXPECT_FALSE(field->hasFrame());
  EXPECT_EQ(backgroundColor(field)->resolved().alpha(), 0);
  EXPECT_EQ(render().pixelColor(101, 101), QColor(255, 255, 255));  // white faces, square corners
  layoutIfNeeded(field);
  auto names = layerNames(field);
  EXPECT_EQ(std::count(names.begin(), names.end(), "shadowDark"), 1);
  EXPECT_EQ(std::count(names.begin(), names.end(), "shadowLight"), 1);

  auto* plain = new QLineEdit(screen_.get());
  layoutIfNeeded(plain);
  EXPECT_FALSE(horizontalMargin.stored(plain));
  EXPECT_EQ(plain->graphicsEffect(), nullptr);
}

}  // namespace
}  // namespace quell
