// The common problems page and the guide, opened from the functions panel as a person opens them.
#include <gtest/gtest.h>

#include <QTest>

#include "app/app_delegate.h"
#include "app/common_problem_controller.h"
#include "app/guide_snapping.h"
#include "app/launch_interface.h"
#include "app/qb_guide_page_controller.h"
#include "app/qb_settings_controller.h"
#include "app/view_controller.h"
#include "platform/ui/collection_view.h"
#include "platform/ui/navigation_container.h"
#include "platform/ui/system_services.h"
#include "platform/ui/table_view.h"
#include "tests/support/gui_driving.h"
#include "tests/support/launched_app.h"
#include "tests/support/test_environment.h"

namespace quell {
namespace {

using testing::waitFor;

TEST(GuideSnapping, ReleaseWithoutVelocitySettlesOnTheNearestCard) {
  const float w = 310, content = 995;
  EXPECT_EQ(snapGuidePage(0, 0.4f * w, 0, w, content, 3).page, 0);
  EXPECT_EQ(snapGuidePage(0, 0.5f * w, 0, w, content, 3).page, 1);  // a tie goes to the higher card
  EXPECT_EQ(snapGuidePage(0, 0.6f * w, 0, w, content, 3).page, 1);
  EXPECT_EQ(snapGuidePage(0, 1.4f * w, 1, w, content, 3).offsetX, w);
}

TEST(GuideSnapping, AnyFlickMovesExactlyOneCardAndStaysOnTheCards) {
  const float w = 310, content = 995;
  EXPECT_EQ(snapGuidePage(0.01f, 5, 0, w, content, 3).page, 1);    // however short
  EXPECT_EQ(snapGuidePage(25.0f, 900, 0, w, content, 3).page, 1);  // however fast
  EXPECT_EQ(snapGuidePage(-3.0f, 0, 0, w, content, 3).page, 0);    // back from the first card
  EXPECT_EQ(snapGuidePage(-3.0f, 0, 0, w, content, 3).offsetX, 0.0f);
  EXPECT_EQ(snapGuidePage(-1.0f, 300, 2, w, content, 3).page, 1);
  // Forward from the last card stays there (the strip's measure would allow one more, empty, page).
  GuideSnap last = snapGuidePage(1.0f, 700, 2, w, content, 3);
  EXPECT_EQ(last.page, 2);
  EXPECT_EQ(last.offsetX, 620.0f);
  EXPECT_EQ(snapGuidePage(-1.0f, 600, last.page, w, content, 3).page, 1);  // and the next flick back works
  for (float x : {0.0f, 123.0f, 401.5f, 777.0f})
    for (float v : {0.0f, 2.0f, -2.0f}) {
      GuideSnap s = snapGuidePage(v, x, 1, w, content, 3);
      EXPECT_EQ(s.offsetX, static_cast<float>(s.page) * w);  // always a whole multiple of the page width
    }
}

class HelpPages : public testing::LaunchedApp {
 protected:
  // Taps a row of the functions panel and waits for what it presents to come to rest.
  QWidget* openRow(const char* title) {
    testing::tap(testing::functionRow(main(), title));
    waitFor([&] {
      QWidget* presented = main()->presentedViewController();
      return presented && screenOf(presented)->isSettled();
    });
    return main()->presentedViewController();
  }
};

TEST_F(HelpPages, CommonProblemsOpenInTheirContainerWithGrowingRowsAndClose) {
  auto* container = qobject_cast<NavigationContainer*>(openRow("常见问题"));
  ASSERT_TRUE(container);
  auto* page = qobject_cast<CommonProblemController*>(container->rootViewController());
  ASSERT_TRUE(page);
  EXPECT_EQ(page->title(), "常见问题");
  auto* answers = page->findChild<UITableView*>();
  ASSERT_TRUE(answers);
  ASSERT_EQ(answers->numberOfRows(), 5);
  EXPECT_EQ(answers->cellForRow(3)->detailTextLabel()->text(),
            "1、在过滤信息中删除，这样系统会将此号码重新进行过滤;\n2、对过滤信息发送三条信息。");
  // The second answer takes four lines, the third one; each row is as tall as its answer.
  auto lines = [&](int row) {
    QLabel* detail = answers->cellForRow(row)->detailTextLabel();
    return detail->height() / QFontMetrics(detail->font()).lineSpacing();
  };
  EXPECT_GE(lines(1), 4);
  EXPECT_EQ(lines(2), 1);
  EXPECT_GT(answers->cellForRow(1)->height(), answers->cellForRow(2)->height() + 40);
  QTest::mouseClick(container->rightBarButton(), Qt::LeftButton);  // 关闭
  EXPECT_TRUE(waitFor([&] { return window_->mainScreen()->presentedViewController() == nullptr; }));
}

TEST_F(HelpPages, TheGuideSnapsOneCardPerFlickAndCloses) {
  window_->resize(375, 812);  // the phone the design is drawn for
  auto* guide = qobject_cast<QBGuidePageController*>(openRow("如何开启短信过滤"));
  ASSERT_TRUE(guide);  // no container around it
  auto* strip = guide->findChild<UICollectionView*>();
  ASSERT_TRUE(strip);
  EXPECT_EQ(strip->cellForItem(0)->width(), 275);
  EXPECT_EQ(strip->contentSize().width(), 995);
  EXPECT_EQ(strip->cellForItem(0)->accessibleName(), "设置页面打开过滤收到的短信");
  QWidget* card = strip->cellForItem(0);
  auto flick = [&](int from, int to) {
    QTest::mousePress(strip, Qt::LeftButton, {}, QPoint(from, 180));
    for (int step = 1; step <= 4; ++step) QTest::mouseMove(strip, QPoint(from + (to - from) * step / 4, 180), 5);
    QTest::mouseRelease(strip, Qt::LeftButton, {}, QPoint(to, 180), 5);
    waitFor([&] { return !strip->isAnimatingScroll(); });
  };
  flick(300, 60);  // a long, fast flick forward still moves one card
  EXPECT_EQ(guide->currentPage(), 1);
  EXPECT_EQ(strip->contentOffset(), QPointF(310, 0));
  EXPECT_EQ(card->x(), 50 - 310);
  flick(300, 260);
  flick(300, 260);  // forward on the last card: stays there
  EXPECT_EQ(guide->currentPage(), 2);
  EXPECT_EQ(strip->contentOffset().x(), 620);
  flick(100, 140);
  EXPECT_EQ(guide->currentPage(), 1);
  int settingsBefore = settingsOpenRequests();
  QTest::mouseClick(testing::named<QPushButton>(guide, "前往设置"), Qt::LeftButton);  // the guide stays
  EXPECT_EQ(settingsOpenRequests(), settingsBefore + 1);
  EXPECT_EQ(window_->mainScreen()->presentedViewController(), guide);
  auto* settings = testing::settledOver<QBSettingsController>(guide);  // the app's settings page, over the guide
  ASSERT_TRUE(settings);
  QTest::mouseClick(settings->navigationContainer()->rightBarButton(), Qt::LeftButton);  // 关闭
  EXPECT_TRUE(waitFor([&] { return guide->presentedViewController() == nullptr && guide->isSettled(); }));
  QPushButton* close = testing::named<QPushButton>(guide, "关闭");  // "×", named for screen readers
  ASSERT_TRUE(close);
  QTest::mouseClick(close, Qt::LeftButton);
  EXPECT_TRUE(waitFor([&] { return window_->mainScreen()->presentedViewController() == nullptr; }));
}

}  // namespace
}  // namespace quell
