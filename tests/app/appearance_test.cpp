// The app in both appearances, and while the desktop switches between them with screens open.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPalette>
#include <QTest>
#include <cmath>
#include <map>

#include "app/common_problem_controller.h"
#include "app/qb_add_controller.h"
#include "app/qb_panels.h"
#include "platform/ui/alert_controller.h"
#include "platform/ui/hud.h"
#include "platform/ui/navigation_container.h"
#include "platform/ui/table_view.h"
#include "platform/ui/trait_collection.h"
#include "tests/support/launched_app.h"

namespace quell {
namespace {

using testing::tap;
using testing::waitFor;

QPalette darkDesktopPalette() {
  QPalette palette;
  palette.setColor(QPalette::Window, QColor(30, 30, 30));
  palette.setColor(QPalette::WindowText, QColor(230, 230, 230));
  palette.setColor(QPalette::Base, QColor(20, 20, 20));
  palette.setColor(QPalette::Text, QColor(230, 230, 230));
  return palette;
}

class Appearance : public testing::LaunchedApp {
 protected:
  void SetUp() override {
    TraitCollection::setOverride(std::nullopt);  // follow the desktop
    desktop_ = QApplication::palette();
    LaunchedApp::SetUp();
  }
  void TearDown() override {
    QApplication::setPalette(desktop_);
    TraitCollection::setOverride(std::nullopt);
  }
  QImage shot() { return window_->grab().toImage(); }
  static int lightness(QRgb pixel) { return QColor(pixel).lightness(); }

  QPalette desktop_;
};

// Switching the desktop to dark while screens are open repaints them in their dark colours: the common
// problems page and, behind it, the tiles of the main screen.
TEST_F(Appearance, OpenScreensFollowTheDesktopIntoDarkAndBack) {
  tap(testing::functionRow(main(), "常见问题"));
  ASSERT_TRUE(testing::settledOver<CommonProblemController>(main()));
  const QPoint belowTheAnswers(200, window_->height() - 20);
  EXPECT_GT(lightness(shot().pixel(belowTheAnswers)), 200);

  QApplication::setPalette(darkDesktopPalette());
  QTest::qWait(50);
  ASSERT_EQ(TraitCollection::current().userInterfaceStyle, UIUserInterfaceStyle::Dark);
  EXPECT_LT(lightness(shot().pixel(belowTheAnswers)), 40);
  auto* answers = main()->window()->findChild<CommonProblemController*>()->findChild<UITableView*>();
  QLabel* question = answers->cellForRow(0)->textLabel();
  EXPECT_GT(question->palette().color(QPalette::WindowText).lightness(), 200);  // light text on the dark page

  tap(static_cast<NavigationContainer*>(main()->presentedViewController())->rightBarButton());  // 关闭
  ASSERT_TRUE(waitFor([&] { return main()->presentedViewController() == nullptr; }));
  shot();
  QLabel* title = nullptr;
  for (auto* label : testing::tile(main(), RuleListKind::NumberWhitelist)->findChildren<QLabel*>())
    if (!label->text().isEmpty()) title = label;
  ASSERT_TRUE(title);
  EXPECT_GT(title->palette().color(QPalette::WindowText).lightness(), 200);  // not black on black

  QApplication::setPalette(desktop_);
  QTest::qWait(50);
  shot();
  EXPECT_LT(title->palette().color(QPalette::WindowText).lightness(), 50);
}

// In dark, raised surfaces read as raised: the panels' faces are lighter than the page, the HUD stands out
// from the rows behind it and draws its check mark as a stroke, and the add prompt's field is dark.
TEST_F(Appearance, DarkSurfacesStandOutFromWhatIsBehindThem) {
  TraitCollection::setOverride(UIUserInterfaceStyle::Dark);
  QImage page = shot();
  QWidget* face = testing::tile(main(), RuleListKind::NumberWhitelist)->parentWidget()->parentWidget();
  const QPoint inFace = face->mapTo(window_.get(), QPoint(face->width() / 2, 8));
  const QPoint onPage = face->mapTo(window_.get(), QPoint(face->width() / 2, -12));
  EXPECT_GT(lightness(page.pixel(inFace)), lightness(page.pixel(onPage)) + 15);

  tap(testing::tile(main(), RuleListKind::KeywordBlacklist));
  QBAddController* editor = testing::settledOver<QBAddController>(main());
  ASSERT_TRUE(editor);
  tap(editor->navigationContainer()->rightBarButton());  // 添加
  auto* prompt = testing::settledOver<UIAlertController>(editor);
  ASSERT_TRUE(prompt);
  shot();
  EXPECT_LT(prompt->textField()->palette().color(QPalette::Base).lightness(), 60);
  EXPECT_GT(prompt->textField()->palette().color(QPalette::Text).lightness(), 200);
  prompt->textField()->insert("中奖");
  tap(prompt->actionButtons()[1]);  // 添加
  ASSERT_TRUE(PKHUD::sharedHUD().isShowing());
  QImage withHud = shot();
  const QRect box(PKHUD::sharedHUD().view()->mapTo(window_.get(), QPoint(0, 0)), PKHUD::sharedHUD().view()->size());
  const QPoint c = box.center();
  const QRgb fill = withHud.pixel(c + QPoint(0, 55));
  const QRgb beside = withHud.pixel(QPoint(box.left() - 20, c.y() + 55));  // a row, outside the box
  EXPECT_GT(std::abs(lightness(fill) - lightness(beside)), 20);
  EXPECT_EQ(withHud.pixel(c + QPoint(-2, 1)), fill);              // inside the check mark's corner: no filled triangle
  EXPECT_GT(lightness(withHud.pixel(c + QPoint(-19, 13))), 200);  // on its stroke
}

}  // namespace
}  // namespace quell

namespace quell {
namespace {

// WCAG's contrast ratio between two colours.
double contrastRatio(QColor a, QColor b) {
  auto luminance = [](QColor c) {
    auto linear = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
  };
  double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The contrast a person sees in a box of the picture holding one text: the background is the commonest
// colour in the box, the text the colour in it that stands out most from that.
double shownContrast(const QImage& shot, const QRect& box) {
  std::map<QRgb, int> counts;
  for (int y = box.top(); y <= box.bottom(); ++y)
    for (int x = box.left(); x <= box.right(); ++x) ++counts[shot.pixel(x, y)];
  const QRgb background =
      std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
  double best = 1;
  for (const auto& [pixel, count] : counts) best = std::max(best, contrastRatio(QColor(pixel), QColor(background)));
  return best;
}

class TextContrast : public testing::LaunchedApp, public ::testing::WithParamInterface<UIUserInterfaceStyle> {
 protected:
  void SetUp() override {
    TraitCollection::setOverride(GetParam());
    LaunchedApp::SetUp();
    window_->resize(375, 812);
  }
  void TearDown() override { TraitCollection::setOverride(std::nullopt); }

  // Every text shown under root, label or button, reads at 4.5:1 or better against what is behind it.
  void expectReadable(QWidget* root, const char* screen) {
    const QImage shot = window_->grab().toImage();
    const QRect inside = window_->rect();
    int checked = 0;
    for (QWidget* widget : root->findChildren<QWidget*>()) {
      QString text;
      if (auto* label = qobject_cast<QLabel*>(widget)) text = label->text();
      if (auto* button = qobject_cast<QAbstractButton*>(widget)) text = button->text();
      if (text.trimmed().isEmpty() || !widget->isVisible() || !widget->isEnabled()) continue;
      const QRect box = QRect(widget->mapTo(window_.get(), QPoint(0, 0)), widget->size()).intersected(inside);
      if (box.height() < 10 || box.width() < 10) continue;
      ++checked;
      EXPECT_GE(shownContrast(shot, box), 4.5) << screen << ": \"" << text.left(20).toStdString() << "\"";
    }
    EXPECT_GT(checked, 0) << screen;
  }
  QWidget* open(const char* row) {
    tap(testing::functionRow(main(), row));
    waitFor([&] {
      QWidget* presented = main()->presentedViewController();
      return presented && screenOf(presented)->isSettled() && presented->pos() == QPoint(0, 0);
    });
    return main()->presentedViewController();
  }
  void close(QWidget* presented) {
    QTest::keyClick(presented, Qt::Key_Escape);
    ASSERT_TRUE(waitFor([&] { return main()->presentedViewController() == nullptr; }));
  }
};

TEST_P(TextContrast, EveryTextReadsAtFourAndAHalfToOne) {
  expectReadable(window_.get(), "main page");

  tap(testing::tile(main(), RuleListKind::KeywordBlacklist));
  auto* editor = testing::settledOver<QBAddController>(main());
  ASSERT_TRUE(editor);
  expectReadable(editor->navigationContainer(), "editor");
  tap(editor->navigationContainer()->rightBarButton());
  auto* prompt = testing::settledOver<UIAlertController>(editor);
  ASSERT_TRUE(prompt);
  expectReadable(prompt, "add prompt");
  const QImage withPlaceholder = window_->grab().toImage();
  QLineEdit* field = prompt->textField();
  EXPECT_GE(shownContrast(withPlaceholder, QRect(field->mapTo(window_.get(), QPoint(0, 0)), field->size())), 4.5)
      << "the placeholder";
  tap(prompt->actionButtons()[0]);  // 取消
  ASSERT_TRUE(waitFor([&] { return editor->presentedViewController() == nullptr; }));
  close(editor->navigationContainer());

  QWidget* faq = open("常见问题");
  expectReadable(faq, "common problems");
  close(faq);
  QWidget* guide = open("如何开启短信过滤");
  expectReadable(guide, "guide");
  close(guide);

  QGuiApplication::clipboard()->setText("无抵押贷款，当天放款，回T退订");
  auto* verdict = qobject_cast<UIAlertController*>(open("反馈漏拦短信"));
  ASSERT_TRUE(verdict);
  expectReadable(verdict, "verdict");
  close(verdict);
}

INSTANTIATE_TEST_SUITE_P(BothAppearances, TextContrast,
                         ::testing::Values(UIUserInterfaceStyle::Light, UIUserInterfaceStyle::Dark),
                         [](const ::testing::TestParamInfo<UIUserInterfaceStyle>& style) {
                           return style.param == UIUserInterfaceStyle::Dark ? std::string("Dark")
                                                                            : std::string("Light");
                         });

}  // namespace
}  // namespace quell
