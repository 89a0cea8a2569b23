// Scrolling by finger and by mouse: every scrolling surface follows a drag of either, glides on after a
// flick, shows an indicator while it moves, and tells a vertical drag apart from a tap and from the
// sideways swipe that reveals "删除".
#include <gtest/gtest.h>

#include <QScrollBar>
#include <QScroller>

#include "app/common_problem_controller.h"
#include "app/qb_add_controller.h"
#include "app/qb_panels.h"
#include "platform/ui/navigation_container.h"
#include "platform/ui/scroll_view.h"
#include "platform/ui/table_view.h"
#include "tests/support/launched_app.h"

namespace quell {
namespace {

using testing::tap;
using testing::waitFor;

// How a drag is made: with the mouse, or with a finger on the touch screen.
enum class Pointer { kMouse, kFinger };

void dragOn(Pointer pointer, QWidget* widget, QPoint from, QPoint to) {
  if (pointer == Pointer::kMouse)
    testing::drag(widget, from, to);
  else
    testing::touchDrag(widget, from, to);
}

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
  QBAddController* openEditor() {
    tap(testing::tile(main(), RuleListKind::KeywordBlacklist));
    return testing::settledOver<QBAddController>(main());
  }
  // Whether the row is wholly inside the table's view.
  static bool inView(UITableView* table, int row) {
    UITableViewCell* cell = table->cellForRow(row);
    return table->viewport()->rect().contains(QRect(cell->mapTo(table->viewport(), QPoint(0, 0)), cell->size()));
  }
};

// Upward drags on the rows of a 40-entry list bring its last row into view.
TEST_P(Scrolling, DragsReachTheLastRowOfAFortyEntryList) {
  QBAddController* editor = openEditor();
  ASSERT_TRUE(editor);
  auto* table = editor->findChild<UITableView*>();
  ASSERT_EQ(table->numberOfRows(), 40);
  ASSERT_FALSE(inView(table, 39));
  QWidget* surface = GetParam() == Pointer::kMouse ? static_cast<QWidget*>(table->cellForRow(2)) : window_.get();
  const QPoint start = table->cellForRow(2)->mapTo(surface, QPoint(150, 20));
  int drags = 0;
  for (; drags < 12 && !inView(table, 39); ++drags) {
    const int before = table->verticalScrollBar()->value();
    dragOn(GetParam(), surface, start, start - QPoint(0, 300));
    ASSERT_TRUE(waitFor([&] { return atRest(table); }));
    EXPECT_GT(table->verticalScrollBar()->value(), before) << "drag " << drags + 1 << " moved nothing";
  }
  EXPECT_TRUE(inView(table, 39)) << "after " << drags << " drags";
  // The drags moved the list: no row was opened for deletion, and the editor is still there.
  for (int row = 0; row < 40; ++row) EXPECT_FALSE(table->cellForRow(row)->isShowingDeleteButton()) << row;
  EXPECT_EQ(main()->presentedViewController(), editor->navigationContainer());
}

// A sideways swipe on a row of the scrollable list still reveals "删除", and does not scroll.
TEST_P(Scrolling, ASidewaysSwipeRevealsDeleteAndDoesNotScroll) {
  QBAddController* editor = openEditor();
  auto* table = editor->findChild<UITableView*>();
  UITableViewCell* row = table->cellForRow(3);
  QWidget* surface = GetParam() == Pointer::kMouse ? static_cast<QWidget*>(row) : window_.get();
  const QPoint start = row->mapTo(surface, QPoint(300, 22));
  dragOn(GetParam(), surface, start, start + QPoint(-160, 6));
  EXPECT_TRUE(row->isShowingDeleteButton());
  EXPECT_EQ(table->verticalScrollBar()->value(), 0);
  tap(row->deleteButton());
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordBlacklist).size(), 39u);
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordBlacklist)[3], "关键词5");
}

// A quick drag leaves the list gliding on after the finger lifts, with the indicator showing until it
// comes to rest, and for a moment after.
TEST_P(Scrolling, AFlickGlidesOnWithTheIndicatorShowing) {
  QBAddController* editor = openEditor();
  auto* table = editor->findChild<UITableView*>();
  QWidget* surface = GetParam() == Pointer::kMouse ? static_cast<QWidget*>(table->cellForRow(4)) : window_.get();
  const QPoint start = table->cellForRow(4)->mapTo(surface, QPoint(150, 20));
  QWidget* indicator = nullptr;
  auto indicatorShown = [&] {
    for (QWidget* child : table->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (child->isVisible() && child->width() <= 4 && child->height() >= 24) indicator = child;
    return indicator != nullptr;
  };
  EXPECT_FALSE(indicatorShown());
  const int dragged = 120;
  dragOn(GetParam(), surface, start, start - QPoint(0, dragged));
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
  QWidget* surface = GetParam() == Pointer::kMouse ? tile : window_.get();
  const QPoint start = tile->mapTo(surface, tile->rect().center());
  dragOn(GetParam(), surface, start, start - QPoint(0, 150));
  ASSERT_TRUE(waitFor([&] { return atRest(page); }));
  EXPECT_GT(page->verticalScrollBar()->value(), 100);
  EXPECT_EQ(main()->presentedViewController(), nullptr);

  page->verticalScrollBar()->setValue(0);
  tap(testing::functionRow(main(), "常见问题"));
  auto* faq = testing::settledOver<CommonProblemController>(main());
  ASSERT_TRUE(faq);
  auto* answers = faq->findChild<UITableView*>();
  ASSERT_GT(answers->verticalScrollBar()->maximum(), 0);
  QWidget* answer = answers->cellForRow(1);
  QWidget* on = GetParam() == Pointer::kMouse ? answer : window_.get();
  const QPoint from = answer->mapTo(on, QPoint(200, 30));
  dragOn(GetParam(), on, from, from - QPoint(0, 200));
  ASSERT_TRUE(waitFor([&] { return atRest(answers); }));
  EXPECT_GT(answers->verticalScrollBar()->value(), 0);
}

INSTANTIATE_TEST_SUITE_P(MouseAndFinger, Scrolling, ::testing::Values(Pointer::kMouse, Pointer::kFinger),
                         [](const ::testing::TestParamInfo<Pointer>& pointer) {
                           return pointer.param == Pointer::kMouse ? std::string("Mouse") : std::string("Finger");
                         });

}  // namespace
}  // namespace quell
