// Scrolling by finger and by mouse: every scrolling surface follows a drag of either, glides on after a
// flick, shows an indicator while it moves, and tells a vertical drag apart from a tap and from the
// sideways swipe that reveals "删除".
#include <gtest/gtest.h>

#include <QScrollBar>
#include <QScroller>

#include "app/common_problem_controller.h"
#include "app/qb_add_controller.h"
#include "platform/ui/scroll_view.h"
#include "platform/ui/table_view.h"
#include "tests/support/launched_app.h"

namespace quell {
namespace {

using testing::tap;
using testing::waitFor;

// How a drag is made: with the mouse, or with a finger on the touch screen.
enum class Pointer { kMouse, kFinger };

bool atRest(QAbstractScrollArea* area) { return QScroller::scroller(area->viewport())->state() == QScroller::Inactive; }

class Scrolling : public testing::LaunchedApp, public ::testing::WithParamInterface<Pointer> {
 protected:
  void SetUp() override {
    std::vector<std::string> forty;
    for (int i = 1; i <= 40; ++i) forty.push_back("关键词" + std::to_string(i));
    LaunchedApp::SetUp();
    ASSERT_TRUE(RuleStore::writeList(RuleListKind::KeywordBlacklist, forty));
    window_->resize(360, 720);
  }
  // A drag between two points of `target`: the mouse's goes to the widget under its start, as Qt's grab
  // would send it; a finger's to the touch screen.
  void dragOn(QWidget* target, QPoint from, QPoint to) {
    if (GetParam() == Pointer::kFinger) {
      testing::touchDrag(window_.get(), target->mapTo(window_.get(), from), target->mapTo(window_.get(), to));
      return;
    }
    QWidget* under = target->childAt(from);
    QWidget* pressed = under ? under : target;
    testing::drag(pressed, pressed->mapFrom(target, from), pressed->mapFrom(target, to));
  }
  UITableView* openEditor() {
    tap(testing::tile(main(), RuleListKind::KeywordBlacklist));
    auto* editor = testing::settledOver<QBAddController>(main());
    return editor ? editor->findChild<UITableView*>() : nullptr;
  }
  // Whether the row is wholly inside the table's view.
  static bool inView(UITableView* table, int row) {
    UITableViewCell* cell = table->cellForRow(row);
    return table->viewport()->rect().contains(QRect(cell->mapTo(table->viewport(), QPoint(0, 0)), cell->size()));
  }
};

// Upward drags on the rows of a 40-entry list bring its last row into view; a sideways one is a swipe.
TEST_P(Scrolling, DragsReachTheLastRowOfAFortyEntryList) {
  UITableView* table = openEditor();
  ASSERT_TRUE(table);
  ASSERT_EQ(table->numberOfRows(), 40);
  ASSERT_FALSE(inView(table, 39));
  int drags = 0;
  for (; drags < 12 && !inView(table, 39); ++drags) {
    const int before = table->verticalScrollBar()->value();
    const int bottom = table->viewport()->height() - 30;
    dragOn(table->viewport(), QPoint(150, bottom), QPoint(150, bottom - 300));
    ASSERT_TRUE(waitFor([&] { return atRest(table); }));
    EXPECT_GT(table->verticalScrollBar()->value(), before) << "drag " << drags + 1 << " moved nothing";
  }
  EXPECT_TRUE(inView(table, 39)) << "after " << drags << " drags";
  // The drags only moved the list: no row was opened for deletion, and the editor is still there.
  for (int row = 0; row < 40; ++row) EXPECT_FALSE(table->cellForRow(row)->isShowingDeleteButton()) << row;
  EXPECT_TRUE(main()->presentedViewController());
  // A sideways swipe on the last row still reveals "删除", and does not scroll.
  const int scrolled = table->verticalScrollBar()->value();
  UITableViewCell* last = table->cellForRow(39);
  dragOn(last, QPoint(300, 22), QPoint(140, 28));
  EXPECT_TRUE(last->isShowingDeleteButton());
  EXPECT_EQ(table->verticalScrollBar()->value(), scrolled);
  tap(last->deleteButton());
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordBlacklist).back(), "关键词39");
}

// A quick drag leaves the list gliding on after the finger lifts, with the indicator showing until it
// comes to rest, and for a moment after.
TEST_P(Scrolling, AFlickGlidesOnWithTheIndicatorShowing) {
  UITableView* table = openEditor();
  ASSERT_TRUE(table);
  QWidget* indicator = nullptr;
  auto indicatorShown = [&] {
    for (QWidget* child : table->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (child->isVisible() && child->width() <= 4 && child->height() >= 24) indicator = child;
    return indicator != nullptr;
  };
  EXPECT_FALSE(indicatorShown());
  const int dragged = 120;
  dragOn(table->cellForRow(4), QPoint(150, 20), QPoint(150, 20 - dragged));
  ASSERT_TRUE(waitFor(indicatorShown));
  EXPECT_GE(indicator->x(), table->width() - 8);  // at the right edge
  ASSERT_TRUE(waitFor([&] { return atRest(table); }));
  EXPECT_GT(table->verticalScrollBar()->value(), dragged + 20);  // it went on after the finger lifted
  EXPECT_TRUE(waitFor([&] { return !indicator->isVisible(); }));
}

// The main page and the common problems follow a drag too; a drag that starts on a tile scrolls the
// page and opens nothing.
TEST_P(Scrolling, TheMainPageAndTheCommonProblemsFollowADrag) {
  window_->resize(720, 360);
  auto* page = main()->findChild<UIScrollView*>();
  QWidget* tile = testing::tile(main(), RuleListKind::NumberWhitelist);
  dragOn(tile, tile->rect().center(), tile->rect().center() - QPoint(0, 150));
  ASSERT_TRUE(waitFor([&] { return atRest(page); }));
  EXPECT_GT(page->verticalScrollBar()->value(), 100);
  EXPECT_EQ(main()->presentedViewController(), nullptr);

  page->verticalScrollBar()->setValue(0);
  tap(testing::functionRow(main(), "常见问题"));
  auto* faq = testing::settledOver<CommonProblemController>(main());
  ASSERT_TRUE(faq);
  auto* answers = faq->findChild<UITableView*>();
  ASSERT_GT(answers->verticalScrollBar()->maximum(), 0);
  dragOn(answers->cellForRow(1), QPoint(200, 30), QPoint(200, -170));
  ASSERT_TRUE(waitFor([&] { return atRest(answers); }));
  EXPECT_GT(answers->verticalScrollBar()->value(), 0);
}

INSTANTIATE_TEST_SUITE_P(MouseAndFinger, Scrolling, ::testing::Values(Pointer::kMouse, Pointer::kFinger),
                         [](const ::testing::TestParamInfo<Pointer>& pointer) {
                           return pointer.param == Pointer::kMouse ? std::string("Mouse") : std::string("Finger");
                         });

}  // namespace
}  // namespace quell
