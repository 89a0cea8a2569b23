// The app on screens of every shape a phone or a desktop gives it: upright (360 x 720), sideways
// (720 x 360), a small phone (320 x 568) and a desktop window (1000 x 800). On each, every panel lies inside
// the window, the page's end can be reached, and every control of the editor, the common problems page and
// the guide can be reached from the keyboard and is wholly on screen when it has the focus.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <set>

#include "app/common_problem_controller.h"
#include "app/qb_add_controller.h"
#include "app/qb_guide_page_controller.h"
#include "app/qb_panel_cells.h"
#include "app/qb_panels.h"
#include "platform/ui/alert_controller.h"
#include "platform/ui/collection_view.h"
#include "platform/ui/navigation_container.h"
#include "platform/ui/scroll_view.h"
#include "platform/ui/table_view.h"
#include "tests/support/launched_app.h"

namespace quell {
namespace {

using testing::tap;
using testing::waitFor;

// Whether the widget is wholly on screen: inside every widget it lies in, up to the window.
bool whollyShown(QWidget* widget) {
  QRect shown = widget->rect();
  for (QWidget* w = widget; !w->isWindow(); w = w->parentWidget()) {
    shown.translate(w->pos());
    if (!w->parentWidget()->rect().contains(shown)) return false;
  }
  return true;
}

QRect inWindow(QWidget* widget) { return QRect(widget->mapTo(widget->window(), QPoint(0, 0)), widget->size()); }

// The raised faces of the main screen's panels.
std::vector<QWidget*> faces(QWidget* main) {
  std::vector<QWidget*> found;
  for (auto* panel : main->findChildren<QBPanel*>())
    found.push_back(panel->findChild<UICollectionView*>()->parentWidget());
  return found;
}

// The three panels' faces lie inside the window, in a centred column no wider than a readable width,
// their tiles' titles whole, and the page scrolls exactly to its end.
void expectPageFits(ViewController* main) {
  const int w = main->window()->width();
  const int column = std::min(w, ViewController::kReadableWidth);
  std::vector<QWidget*> panelFaces = faces(main);
  ASSERT_EQ(panelFaces.size(), 3u);
  for (QWidget* face : panelFaces) {
    const QRect r = inWindow(face);
    EXPECT_EQ(r.left(), (w - column) / 2 + 15) << "at width " << w;
    EXPECT_EQ(r.width(), column - 30) << "at width " << w;
  }
  for (auto* cell : main->findChildren<QBIconCell*>())
    EXPECT_LE(cell->titleLabel->heightForWidth(cell->titleLabel->width()), cell->titleLabel->height())
        << cell->titleLabel->text().toStdString() << " at width " << w;
  auto* page = main->findChild<UIScrollView*>();
  EXPECT_EQ(page->width(), w);
  QScrollBar* bar = page->verticalScrollBar();
  EXPECT_EQ(bar->maximum(), std::max(0, page->contentSize().height() - page->viewport()->height()));
  bar->setValue(bar->maximum());
  EXPECT_TRUE(whollyShown(panelFaces.back())) << "at width " << w;
  bar->setValue(0);
}

// Every control under root that Tab can reach.
std::set<QWidget*> controlsOf(QWidget* root) {
  std::set<QWidget*> controls;
  for (auto* w : root->findChildren<QWidget*>())
    if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(root)) controls.insert(w);
  return controls;
}

// Presses Tab until the focus comes back where it started (at most `limit` times), and returns every widget
// it reached. Each one must be wholly on screen while it has the focus.
std::set<QWidget*> tabThrough(int limit = 80) {
  std::set<QWidget*> reached;
  QWidget* first = QApplication::focusWidget();
  for (int i = 0; i < limit; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QWidget* now = QApplication::focusWidget();
    if (!now) break;
    EXPECT_TRUE(whollyShown(now)) << testing::accessibleNameOf(now).toStdString() << " is not wholly on screen";
    reached.insert(now);
    if (now == first) break;
  }
  return reached;
}

class ScreenFit : public testing::LaunchedApp, public ::testing::WithParamInterface<QSize> {
 protected:
  void SetUp() override {
    LaunchedApp::SetUp();
    window_->resize(GetParam());
    ASSERT_EQ(main()->width(), GetParam().width());
  }
  // Opens a screen by tapping `opener`, and returns what was presented over the main screen, at rest.
  QWidget* open(QWidget* opener) {
    tap(opener);
    waitFor([&] {
      QWidget* presented = main()->presentedViewController();
      return presented && screenOf(presented)->isSettled() && presented->pos() == QPoint(0, 0);
    });
    return main()->presentedViewController();
  }
  // Every control of the presented screen is reached by Tab, wholly on screen; Escape closes it.
  void expectEveryControlReachedThenEscape(QWidget* presented) {
    ASSERT_TRUE(presented);
    ASSERT_TRUE(presented->isAncestorOf(QApplication::focusWidget()));  // the focus moved into it
    const std::set<QWidget*> controls = controlsOf(presented);
    EXPECT_FALSE(controls.empty());
    const std::set<QWidget*> reached = tabThrough();
    for (QWidget* control : controls)
      EXPECT_TRUE(reached.count(control)) << testing::accessibleNameOf(control).toStdString() << " was not reached";
    for (QWidget* w : reached) EXPECT_TRUE(presented->isAncestorOf(w));  // nor did the focus leave it
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_TRUE(waitFor([&] { return main()->presentedViewController() == nullptr; }));
  }
};

TEST_P(ScreenFit, PanelsLieInsideTheWindowAndThePageEndIsReachable) {
  expectPageFits(main());
  // Tab reaches every tile and row, each on screen when it has the focus.
  testing::tile(main(), RuleListKind::NumberWhitelist)->setFocus(Qt::TabFocusReason);
  const std::set<QWidget*> reached = tabThrough();
  for (QWidget* control : controlsOf(main()))
    EXPECT_TRUE(reached.count(control)) << testing::accessibleNameOf(control).toStdString();
  EXPECT_EQ(reached.size(), 12u);
}

TEST_P(ScreenFit, EveryControlOfTheEditorCanBeReached) {
  for (auto kind : kAllRuleListKinds) {
    QWidget* editor = open(testing::tile(main(), kind));
    ASSERT_TRUE(editor);
    // The header shows all of its text, however narrow the screen.
    QWidget* header = editor->findChild<UITableView*>()->tableHeaderView();
    for (auto* label : header->findChildren<QLabel*>()) {
      EXPECT_LE(label->heightForWidth(label->width()), label->height()) << label->text().toStdString();
      EXPECT_LE(label->geometry().bottom(), header->height() - 1) << label->text().toStdString();
    }
    expectEveryControlReachedThenEscape(editor);
  }
}

TEST_P(ScreenFit, EveryControlOfTheCommonProblemsCanBeReached) {
  expectEveryControlReachedThenEscape(open(testing::functionRow(main(), "常见问题")));
}

TEST_P(ScreenFit, EveryControlOfTheGuideCanBeReachedAndItsCardIsWhole) {
  QWidget* guide = open(testing::functionRow(main(), "如何开启短信过滤"));
  ASSERT_TRUE(guide);
  auto* strip = guide->findChild<UICollectionView*>();
  QWidget* card = strip->cellForItem(0);
  EXPECT_TRUE(whollyShown(card));
  EXPECT_GT(card->height(), 100);
  // The card shows a phone's screen upright: never a wide strip of it.
  EXPECT_LE(card->width(), card->height());
  for (const char* control : {"前往设置", "关闭"}) EXPECT_TRUE(testing::named<QPushButton>(guide, control)) << control;
  expectEveryControlReachedThenEscape(guide);
}

TEST_P(ScreenFit, TheVerdictOfALongMessageFits) {
  QString copied;
  for (int line = 1; line <= 60; ++line) copied += QString("第%1行：恭喜您中奖，请点击链接领取\n").arg(line);
  QGuiApplication::clipboard()->setText(copied);
  tap(testing::functionRow(main(), "反馈漏拦短信"));
  auto* alert = testing::settledOver<UIAlertController>(main());
  ASSERT_TRUE(alert);
  for (QPushButton* button : alert->actionButtons()) EXPECT_TRUE(whollyShown(button)) << button->text().toStdString();
  tap(alert->actionButtons().back());  // 好
}

INSTANTIATE_TEST_SUITE_P(PhoneAndDesktopSizes, ScreenFit,
                         ::testing::Values(QSize(360, 720), QSize(720, 360), QSize(1000, 800), QSize(320, 568)),
                         [](const ::testing::TestParamInfo<QSize>& size) {
                           return QString("%1x%2").arg(size.param.width()).arg(size.param.height()).toStdString();
                         });

class WindowResize : public testing::LaunchedApp {};

// A phone shell maximises the window after it is shown: the open page follows each new width, and the
// tiles fill their face, two by two.
TEST_F(WindowResize, TheOpenMainPageFollowsTheWidthFrom375To360To1000) {
  for (int width : {375, 360, 1000}) {
    window_->resize(width, 700);
    expectPageFits(main());
    QWidget* tile = testing::tile(main(), RuleListKind::KeywordBlacklist);
    const QRect grid = tile->parentWidget()->rect();
    EXPECT_TRUE(grid.contains(tile->geometry())) << width;
    EXPECT_GT(tile->geometry().right(), grid.right() - 20) << width;
  }
}

// The first size never exceeds the screen's room for windows (a phone's screen, without a window manager
// to shrink it).
TEST(LaunchWindow, FirstSizeIsBoundedByTheScreen) {
  testing::ScopedDataHome home;
  LaunchInterface window;
  const QSize room = window.screen()->availableGeometry().size();
  EXPECT_LE(window.width(), room.width());
  EXPECT_LE(window.height(), room.height());
  EXPECT_EQ(window.width(), std::min(375, room.width()));
  EXPECT_FALSE(window.windowIcon().isNull());  // from the app's own images when no icon theme has one
}

}  // namespace
}  // namespace quell
