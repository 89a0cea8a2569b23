// The app from the keyboard and through a screen reader: the focus stays in the screen on top, screens
// below take no keys, Escape and Return do what their buttons do, rows can be deleted without a swipe, and
// the focus ring shows for the keyboard only.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QPointer>

#include "app/common_problem_controller.h"
#include "app/qb_add_controller.h"
#include "app/qb_guide_page_controller.h"
#include "platform/ui/alert_controller.h"
#include "platform/ui/focus_ring.h"
#include "platform/ui/hud.h"
#include "platform/ui/navigation_container.h"
#include "platform/ui/table_view.h"
#include "tests/support/launched_app.h"

namespace quell {
namespace {

using testing::tap;
using testing::waitFor;

class Keyboard : public testing::LaunchedApp {
 protected:
  QBAddController* openEditor(RuleListKind kind) {
    tap(testing::tile(main(), kind));
    return testing::settledOver<QBAddController>(main());
  }
  UIAlertController* openPrompt(QBAddController* editor) {
    tap(editor->navigationContainer()->rightBarButton());  // 添加
    return testing::settledOver<UIAlertController>(editor);
  }
  static QWidget* focused() { return QApplication::focusWidget(); }
};

// Open the add prompt, press Tab 16 times, then Space: the focus never leaves the prompt, so Space presses
// one of its own buttons, and the editor behind is there to act on it.
TEST_F(Keyboard, TabThenSpaceInTheAddPromptStaysInThePrompt) {
  QPointer<QBAddController> editor = openEditor(RuleListKind::KeywordBlacklist);
  ASSERT_TRUE(editor);
  QPointer<UIAlertController> prompt = openPrompt(editor);
  ASSERT_TRUE(prompt);
  prompt->textField()->insert("中奖");
  for (int tab = 0; tab < 16; ++tab) {
    QTest::keyClick(focused(), Qt::Key_Tab);
    ASSERT_TRUE(focused() == prompt || prompt->isAncestorOf(focused()))
        << "Tab " << tab + 1 << " left the prompt for " << testing::accessibleNameOf(focused()).toStdString();
  }
  // Tab walks field, buttons and the prompt itself; land on "添加" and press it with Space.
  while (focused() != prompt->actionButtons()[1]) QTest::keyClick(focused(), Qt::Key_Tab);
  QTest::keyClick(focused(), Qt::Key_Space);
  ASSERT_TRUE(waitFor([&] { return !prompt; }));
  ASSERT_TRUE(editor);
  EXPECT_EQ(main()->presentedViewController(), editor->navigationContainer());
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordBlacklist).back(), "中奖");
}

// While a screen is presented, the screens below take no keys and no focus, and a screen reader finds the
// wholly covered ones nowhere.
TEST_F(Keyboard, CoveredScreensAreInert) {
  QWidget* tile = testing::tile(main(), RuleListKind::NumberWhitelist);
  QBAddController* editor = openEditor(RuleListKind::NumberWhitelist);
  ASSERT_TRUE(editor);
  EXPECT_FALSE(main()->isVisible());  // wholly covered by the editor
  EXPECT_FALSE(tile->isEnabled());
  QAccessibleInterface* covered = QAccessible::queryAccessibleInterface(tile);
  EXPECT_TRUE(covered->state().invisible || covered->state().disabled);
  UIAlertController* prompt = openPrompt(editor);
  ASSERT_TRUE(prompt);
  QWidget* done = editor->navigationContainer()->leftBarButton();
  EXPECT_TRUE(done->isVisible());  // dimmed below the prompt, but not reachable
  EXPECT_FALSE(done->isEnabled());
  EXPECT_TRUE(QAccessible::queryAccessibleInterface(done)->state().disabled);
  // Keys sent to the covered "完成" do nothing.
  QTest::keyClick(done, Qt::Key_Space);
  EXPECT_TRUE(editor->isVisible());
  EXPECT_EQ(editor->presentedViewController(), prompt);
}

// A screen that goes takes its prompt with it; the prompt's "添加" can then act for nobody.
TEST_F(Keyboard, APromptNeverOutlivesItsEditor) {
  QPointer<QBAddController> editor = openEditor(RuleListKind::KeywordBlacklist);
  QPointer<UIAlertController> prompt = openPrompt(editor);
  ASSERT_TRUE(prompt);
  const auto before = RuleStore::storedList(RuleListKind::KeywordBlacklist);
  editor->dismissViewController(false);  // as "完成" would, though no person can reach it now
  ASSERT_TRUE(waitFor([&] { return !editor && !prompt; }));
  EXPECT_EQ(main()->presentedViewController(), nullptr);
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordBlacklist), before);
  EXPECT_TRUE(testing::tile(main(), RuleListKind::KeywordBlacklist)->isEnabled());
}

// Return in the prompt adds, as "添加" does; Escape cancels, as "取消" does.
TEST_F(Keyboard, ReturnInThePromptAddsAndEscapeCancels) {
  QBAddController* editor = openEditor(RuleListKind::NumberBlacklist);
  UIAlertController* prompt = openPrompt(editor);
  ASSERT_TRUE(prompt);
  QTest::keyClicks(prompt->textField(), "95555");
  QTest::keyClick(prompt->textField(), Qt::Key_Escape);
  ASSERT_TRUE(waitFor([&] { return editor->presentedViewController() == nullptr; }));
  prompt = openPrompt(editor);
  QTest::keyClicks(prompt->textField(), "10086");
  QTest::keyClick(prompt->textField(), Qt::Key_Return);
  EXPECT_TRUE(waitFor([&] { return editor->presentedViewController() == nullptr; }));
  EXPECT_EQ(RuleStore::storedList(RuleListKind::NumberBlacklist),
            (std::vector<std::string>{"106550258080236184", "10655025170104488", "10086"}));
  EXPECT_EQ(PKHUD::sharedHUD().content(), PKHUD::Content::kSuccess);
}

// Delete on a focused row offers "删除", as a swipe does; Space on it deletes, Escape puts it away. A
// screen reader's "删除" action takes the same path.
TEST_F(Keyboard, DeleteOnAFocusedRowAndAScreenReadersActionTakeTheSwipesPath) {
  QBAddController* editor = openEditor(RuleListKind::KeywordWhitelist);
  auto* table = editor->findChild<UITableView*>();
  UITableViewCell* row = table->cellForRow(1);
  EXPECT_TRUE(row->focusPolicy() & Qt::TabFocus);
  QAccessibleInterface* item = QAccessible::queryAccessibleInterface(row);
  EXPECT_EQ(item->text(QAccessible::Name), "转账");
  row->setFocus(Qt::TabFocusReason);
  QTest::keyClick(row, Qt::Key_Delete);
  ASSERT_TRUE(row->isShowingDeleteButton());
  EXPECT_EQ(focused(), row->deleteButton());
  QTest::keyClick(focused(), Qt::Key_Escape);  // put away, and the editor stays
  EXPECT_FALSE(row->isShowingDeleteButton());
  EXPECT_EQ(focused(), row);
  EXPECT_EQ(main()->presentedViewController(), editor->navigationContainer());

  QTest::keyClick(row, Qt::Key_Delete);
  QTest::keyClick(focused(), Qt::Key_Space);
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordWhitelist),
            (std::vector<std::string>{"验证码", "余额", "快递", "取件码"}));
  // The focus stays in the list, on the row now in that place.
  ASSERT_TRUE(waitFor([&] { return focused() == table->cellForRow(1); }));

  QAccessibleInterface* next = QAccessible::queryAccessibleInterface(table->cellForRow(1));
  ASSERT_TRUE(next->actionInterface());
  ASSERT_TRUE(next->actionInterface()->actionNames().contains("删除"));
  next->actionInterface()->doAction("删除");
  ASSERT_TRUE(table->cellForRow(1)->isShowingDeleteButton());
  QAccessibleInterface* button = QAccessible::queryAccessibleInterface(table->cellForRow(1)->deleteButton());
  button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_TRUE(waitFor([] {
    return RuleStore::storedList(RuleListKind::KeywordWhitelist) ==
           std::vector<std::string>{"验证码", "快递", "取件码"};
  }));
}

// A tap leaves no focus ring; the keyboard's focus always shows one.
TEST_F(Keyboard, OnlyTheKeyboardShowsTheFocusRing) {
  tap(testing::functionRow(main(), "常见问题"));
  ASSERT_TRUE(testing::settledOver<CommonProblemController>(main()));
  EXPECT_EQ(FocusRing::ringedWidget(), nullptr);
  tap(static_cast<NavigationContainer*>(main()->presentedViewController())->rightBarButton());  // 关闭
  ASSERT_TRUE(waitFor([&] { return main()->presentedViewController() == nullptr; }));
  EXPECT_EQ(FocusRing::ringedWidget(), nullptr);

  testing::tile(main(), RuleListKind::NumberWhitelist)->setFocus();
  QTest::keyClick(focused(), Qt::Key_Tab);
  EXPECT_EQ(FocusRing::ringedWidget(), testing::tile(main(), RuleListKind::NumberBlacklist));
  // Drawn: the ring's colour is on the tile's edge.
  QWidget* ringed = FocusRing::ringedWidget();
  const QImage shown = window_->grab().toImage();
  const QPoint edge = ringed->mapTo(window_.get(), QPoint(ringed->width() / 2, 1));
  EXPECT_EQ(shown.pixelColor(edge), UIColor::systemBlueColor().resolved());
  tap(testing::tile(main(), RuleListKind::KeywordWhitelist));
  EXPECT_EQ(FocusRing::ringedWidget(), nullptr);
}

}  // namespace
}  // namespace quell
