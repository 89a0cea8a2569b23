// The main screen and the rule list editor, used as a person uses them: taps, typing, swipes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <fstream>

#include "app/app_delegate.h"
#include "app/common_problem_controller.h"
#include "app/launch_interface.h"
#include "app/qb_add_controller.h"
#include "app/qb_panel_cells.h"
#include "app/qb_panels.h"
#include "app/rounded_image.h"
#include "app/view_controller.h"
#include "engine/rule_store.h"
#include "platform/ui/alert_controller.h"
#include "platform/ui/hud.h"
#include "platform/ui/navigation_container.h"
#include "platform/ui/scroll_view.h"
#include "platform/ui/table_view.h"
#include "platform/user_defaults.h"
#include "tests/support/gui_driving.h"
#include "tests/support/launched_app.h"
#include "tests/support/test_environment.h"

namespace quell {
namespace {

using testing::waitFor;

using testing::presentedOver;
using testing::tap;

class MainScreen : public testing::LaunchedApp {
 protected:
  // What the tile of a list says, as a screen reader reads it.
  QString tileTitle(int tile) { return testing::tile(main(), static_cast<RuleListKind>(tile))->accessibleName(); }
  QBAddController* openEditor(int tile) {
    tap(testing::tile(main(), static_cast<RuleListKind>(tile)));
    return testing::settledOver<QBAddController>(main());
  }
  static UITableView* table(QBAddController* editor) { return editor->findChild<UITableView*>(); }
  static int rows(QBAddController* editor) { return table(editor)->numberOfRows(); }
  void closeEditor(QBAddController* editor) {
    tap(editor->navigationContainer()->leftBarButton());  // 完成
    waitFor([&] { return main()->presentedViewController() == nullptr; });
  }
  UIAlertController* openAddPrompt(QBAddController* editor) {
    tap(editor->navigationContainer()->rightBarButton());
    return testing::settledOver<UIAlertController>(editor);
  }
  // Swipes a row far enough to reveal "删除", then taps it.
  void swipeAndDelete(QBAddController* editor, int row) {
    UITableViewCell* cell = table(editor)->cellForRow(row);
    testing::drag(cell, QPoint(300, 22), QPoint(150, 22));
    ASSERT_TRUE(cell->isShowingDeleteButton());
    tap(cell->deleteButton());
  }
  void addThroughPrompt(QBAddController* editor, const QString& text) {
    UIAlertController* alert = openAddPrompt(editor);
    ASSERT_TRUE(alert);
    alert->textField()->insert(text);  // as an input method types it
    tap(alert->actionButtons()[1]);    // "添加", right of "取消"
  }
};

TEST_F(MainScreen, ShowsThePanelsWithTheListSizes) {
  EXPECT_EQ(tileTitle(0), "号码白名单 (4)");
  EXPECT_EQ(tileTitle(1), "号码黑名单 (2)");
  EXPECT_EQ(tileTitle(3), "关键字黑名单 (7)");
  auto panels = main()->findChildren<QBFunctionView*>();
  ASSERT_EQ(panels.size(), 2);
  EXPECT_EQ(panels[0]->findChildren<QBFunctionCell*>().size(), 6);
  for (const char* row : {"常见问题", "如何开启短信过滤", "反馈漏拦短信", "好评鼓励", "推荐给朋友", "官方微博"})
    EXPECT_TRUE(testing::functionRow(main(), row)) << row;
  // All four tiles fit the panel without scrolling.
  for (int i = 0; i < 4; ++i) {
    QWidget* tile = testing::tile(main(), static_cast<RuleListKind>(i));
    EXPECT_TRUE(tile->parentWidget()->rect().contains(tile->geometry()));
  }
  EXPECT_EQ(window_->container()->barHeight() > 44, true);  // a large title
}

TEST_F(MainScreen, EachTileOpensItsEditorAndDoneClosesIt) {
  const char* titles[4][2] = {{"自定义号码白名单", "号码白名单"},
                              {"自定义号码黑名单", "号码黑名单"},
                              {"自定义关键字白名单", "关键字白名单"},
                              {"自定义关键字黑名单", "关键字黑名单"}};
  for (int tile = 0; tile < 4; ++tile) {
    QBAddController* editor = openEditor(tile);
    ASSERT_TRUE(editor) << tile;
    EXPECT_EQ(editor->title(), QString::fromUtf8(titles[tile][0]));
    EXPECT_EQ(editor->ruleListKind(), static_cast<RuleListKind>(tile));
    EXPECT_EQ(rows(editor), static_cast<int>(DefaultRuleLists(static_cast<RuleListKind>(tile)).size()));
    auto labels = editor->findChildren<QLabel*>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(),
                            [&](QLabel* l) { return l->text() == QString::fromUtf8(titles[tile][1]); }));
    closeEditor(editor);
    EXPECT_FALSE(main()->presentedViewController());
  }
}

TEST_F(MainScreen, AddingStoresTrimmedEntriesAndTheCountChangesOnReturn) {
  QBAddController* editor = openEditor(3);
  ASSERT_TRUE(editor);
  tap(openAddPrompt(editor)->actionButtons()[0]);  // 取消
  ASSERT_TRUE(waitFor([&] { return editor->presentedViewController() == nullptr; }));
  addThroughPrompt(editor, "退订");  // already there: stored twice
  EXPECT_TRUE(PKHUD::sharedHUD().isShowing());
  EXPECT_EQ(PKHUD::sharedHUD().content(), PKHUD::Content::kSuccess);
  EXPECT_EQ(PKHUD::sharedHUD().accessibilityLabel(), "添加完成");
  addThroughPrompt(editor, QString::fromUtf8("\u3000 中奖\n "));  // blanks around it, as pasted
  auto stored = RuleStore::storedList(RuleListKind::KeywordBlacklist);
  ASSERT_EQ(stored.size(), 9u);
  EXPECT_EQ(stored[7], "退订");
  EXPECT_EQ(stored[8], "中奖");
  EXPECT_EQ(table(editor)->cellForRow(8)->textLabel()->text(), "中奖");
  closeEditor(editor);
  EXPECT_EQ(tileTitle(3), "关键字黑名单 (9)");
}

// A blank entry would match nearly every message: it is refused, saying why, and nothing is stored.
// The prompt's empty field says what an entry of the list is, and shows it while the field has the focus;
// a blank entry would match nearly every message, so it is refused, saying why, and nothing is stored.
TEST_F(MainScreen, ThePromptNamesTheEntryAndRefusesABlankOne) {
  QBAddController* editor = openEditor(0);
  UIAlertController* prompt = openAddPrompt(editor);
  ASSERT_TRUE(prompt);
  QLineEdit* field = prompt->textField();
  ASSERT_TRUE(field->hasFocus());
  EXPECT_EQ(field->placeholderText(), "号码");
  const QImage shown = field->grab().toImage();  // drawn: more than the field's background
  const QRgb background = shown.pixel(shown.width() - 4, shown.height() / 2);
  int inked = 0;
  for (int x = 0; x < shown.width() / 2; ++x) inked += shown.pixel(x, shown.height() / 2) != background;
  EXPECT_GT(inked, 5);
  tap(prompt->actionButtons()[0]);  // 取消
  ASSERT_TRUE(waitFor([&] { return editor->presentedViewController() == nullptr; }));
  for (const char* blank : {"", "   ", "\t\n", "\u3000"}) {
    addThroughPrompt(editor, QString::fromUtf8(blank));
    EXPECT_EQ(PKHUD::sharedHUD().content(), PKHUD::Content::kError) << blank;
    EXPECT_EQ(PKHUD::sharedHUD().text(), "规则不能为空白");
  }
  EXPECT_EQ(rows(editor), 4);
  EXPECT_EQ(RuleStore::storedList(RuleListKind::NumberWhitelist), DefaultRuleLists(RuleListKind::NumberWhitelist));
}

TEST_F(MainScreen, AListWhoseStoredDataCannotBeReadIsNeverWrittenOver) {
  const std::string damaged("a\x02\x00\x00\x00s\x02\x00\x00\x00ok\x7f", 13);
  testing::storeRawSetting(AppGroupIdentifier, "keywordBlacklistKey", damaged);
  QBAddController* editor = openEditor(3);
  ASSERT_TRUE(editor);
  EXPECT_EQ(rows(editor), 0);
  // "添加" explains instead of prompting.
  tap(editor->navigationContainer()->rightBarButton());
  auto* refusal = presentedOver<UIAlertController>(editor);
  ASSERT_TRUE(refusal);
  EXPECT_FALSE(refusal->textField());
  EXPECT_EQ(refusal->alertTitle(), "名单无法读取");
  tap(refusal->actionButtons()[0]);
  EXPECT_TRUE(waitFor([&] { return presentedOver<UIAlertController>(editor) == nullptr; }));
  closeEditor(editor);
  EXPECT_EQ(testing::rawSetting(AppGroupIdentifier, "keywordBlacklistKey"), damaged);
  // The other lists are edited as usual.
  QBAddController* other = openEditor(2);
  addThroughPrompt(other, "账单");
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordWhitelist).back(), "账单");
}

// Another writer holds the shared store beyond the busy timeout: no change is shown that was not stored.
TEST_F(MainScreen, AWriteThatFailsShowsTheErrorAndLeavesTheListAsStored) {
  QBAddController* editor = openEditor(3);
  ASSERT_TRUE(editor);
  const auto before = RuleStore::storedList(RuleListKind::KeywordBlacklist);
  {
    testing::StoreWriteLock busy(UserDefaults::pathForDomain(AppGroupIdentifier));
    addThroughPrompt(editor, "清仓");
    EXPECT_EQ(PKHUD::sharedHUD().content(), PKHUD::Content::kError);
    EXPECT_EQ(rows(editor), static_cast<int>(before.size()));
    swipeAndDelete(editor, 0);
    EXPECT_EQ(PKHUD::sharedHUD().content(), PKHUD::Content::kError);
    EXPECT_EQ(rows(editor), static_cast<int>(before.size()));
    EXPECT_EQ(table(editor)->cellForRow(0)->textLabel()->text(), QString::fromStdString(before[0]));
  }
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordBlacklist), before);
  // Once the store is free again, the same edits go through.
  addThroughPrompt(editor, "清仓");
  EXPECT_EQ(PKHUD::sharedHUD().content(), PKHUD::Content::kSuccess);
  swipeAndDelete(editor, 0);
  auto after = before;
  after.erase(after.begin());
  after.push_back("清仓");
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordBlacklist), after);
  EXPECT_EQ(rows(editor), static_cast<int>(after.size()));
}

TEST_F(MainScreen, SwipingARowRevealsDeleteWhichRemovesIt) {
  QBAddController* editor = openEditor(1);
  UITableViewCell* row = table(editor)->cellForRow(0);
  ASSERT_TRUE(row);
  // A short drag snaps back; a long one reveals the button.
  testing::drag(row, QPoint(300, 22), QPoint(290, 22));
  EXPECT_FALSE(row->isShowingDeleteButton());
  testing::drag(row, QPoint(300, 22), QPoint(150, 22));
  ASSERT_TRUE(row->isShowingDeleteButton());
  EXPECT_EQ(row->deleteButton()->text(), "删除");
  // The entry about to be deleted stays in view beside the button.
  QLabel* text = row->textLabel();
  const QRect shown(text->mapTo(row, QPoint(0, 0)), QSize(text->fontMetrics().horizontalAdvance(text->text()), 1));
  EXPECT_GE(shown.left(), 0);
  EXPECT_LE(shown.right(), row->deleteButton()->geometry().left());
  tap(row->deleteButton());
  EXPECT_EQ(RuleStore::storedList(RuleListKind::NumberBlacklist), std::vector<std::string>{"10655025170104488"});
  EXPECT_EQ(rows(editor), 1);
  // Deleting the last entry stores an empty list.
  swipeAndDelete(editor, 0);
  auto list = RuleStore::readStoredList(RuleListKind::NumberBlacklist);
  ASSERT_TRUE(list);
  EXPECT_TRUE(list->empty());
}

// Two quick taps on a tile present one editor; every entry added in it is kept.
TEST_F(MainScreen, ADoubleTapOpensOneEditorAndLosesNoEntry) {
  QWidget* tile = testing::tile(main(), RuleListKind::KeywordBlacklist);
  tap(tile);
  tap(tile);
  QBAddController* editor = testing::settledOver<QBAddController>(main());
  ASSERT_TRUE(editor);
  QTest::qWait(UIViewController::kAnimationMs * 2);
  EXPECT_EQ(window_->findChildren<QBAddController*>().size(), 1);
  addThroughPrompt(editor, "甲");
  addThroughPrompt(editor, "乙");
  closeEditor(editor);
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordBlacklist).size(), 9u);
  EXPECT_EQ(tileTitle(3), "关键字黑名单 (9)");
  // Nothing is left presented, and the next tap opens an editor again.
  EXPECT_TRUE(waitFor([&] { return window_->findChildren<QBAddController*>().isEmpty(); }));
  ASSERT_TRUE(openEditor(0));
}

// A deletion removes the entry the user saw, even when the stored list changed after the editor read it
// (another program added entries): never a neighbour.
TEST_F(MainScreen, ADeletionRemovesTheEntryShownThoughTheListChangedMeanwhile) {
  ASSERT_TRUE(RuleStore::writeList(RuleListKind::KeywordBlacklist, {"甲", "乙", "丙", "乙"}));
  QBAddController* editor = openEditor(3);
  ASSERT_TRUE(editor);
  ASSERT_TRUE(RuleStore::writeList(RuleListKind::KeywordBlacklist, {"新", "甲", "乙", "丙", "乙", "丁"}));
  swipeAndDelete(editor, 2);  // the row showing "丙"
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordBlacklist),
            (std::vector<std::string>{"新", "甲", "乙", "乙", "丁"}));
  swipeAndDelete(editor, 3);  // the second "乙", as the table now shows the stored list
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordBlacklist), (std::vector<std::string>{"新", "甲", "乙", "丁"}));
  EXPECT_EQ(rows(editor), 4);
  // An entry someone else deleted already: nothing else goes.
  ASSERT_TRUE(RuleStore::writeList(RuleListKind::KeywordBlacklist, {"新", "甲", "丁"}));
  swipeAndDelete(editor, 2);  // still shows "乙"
  EXPECT_EQ(RuleStore::storedList(RuleListKind::KeywordBlacklist), (std::vector<std::string>{"新", "甲", "丁"}));
  EXPECT_EQ(rows(editor), 3);
}

// With a data folder that cannot be made, nothing can be stored: the page says so and why, and an edit
// shows the error rather than a success that was never stored.
TEST(MainScreenWithoutAStore, SaysTheListsCannotBeSavedAndEveryEditFails) {
  testing::ScopedDataHome home;
  const auto blocked = home.path() / "not-a-folder";
  std::ofstream(blocked) << "a file where the data folder should be";
  qputenv("XDG_DATA_HOME", blocked.c_str());
  AppDelegate().didFinishLaunching();
  LaunchInterface window;
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  ViewController* main = window.mainScreen();
  QLabel* notice = testing::named<QLabel>(main, "规则名单无法保存");
  ASSERT_TRUE(notice);
  EXPECT_TRUE(notice->text().contains("不是文件夹")) << notice->text().toStdString();
  EXPECT_TRUE(notice->text().contains(QString::fromStdString(blocked.string())));
  // The notice pushes the panels down rather than covering them.
  QWidget* rules = main->findChild<QBRulesView*>();
  EXPECT_GE(rules->y(), notice->geometry().bottom());
  EXPECT_EQ(testing::tile(main, RuleListKind::KeywordBlacklist)->accessibleName(), "关键字黑名单 (0)");

  tap(testing::tile(main, RuleListKind::KeywordBlacklist));
  auto* editor = testing::settledOver<QBAddController>(main);
  ASSERT_TRUE(editor);
  tap(editor->navigationContainer()->rightBarButton());
  auto* prompt = testing::settledOver<UIAlertController>(editor);
  ASSERT_TRUE(prompt);
  prompt->textField()->insert("中奖");
  tap(prompt->actionButtons()[1]);  // 添加
  EXPECT_EQ(PKHUD::sharedHUD().content(), PKHUD::Content::kError);
  EXPECT_EQ(PKHUD::sharedHUD().text(), "未能保存");
  EXPECT_EQ(editor->findChild<UITableView*>()->numberOfRows(), 0);
}

// Every tile and row is one element that the keyboard reaches and a screen reader names and presses.
TEST_F(MainScreen, TilesAndRowsAreFocusableButtonsNamedByTheirTitles) {
  QWidget* tile = testing::tile(main(), RuleListKind::NumberBlacklist);
  EXPECT_TRUE(tile->focusPolicy() & Qt::TabFocus);
  QAccessibleInterface* element = QAccessible::queryAccessibleInterface(tile);
  ASSERT_TRUE(element);
  EXPECT_EQ(element->role(), QAccessible::Button);
  EXPECT_EQ(element->text(QAccessible::Name), "号码黑名单 (2)");
  EXPECT_EQ(element->childCount(), 0);  // its icon and label are not elements of their own
  // Tab moves from tile to tile; Space on a tile opens its editor.
  testing::tile(main(), RuleListKind::NumberWhitelist)->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), tile);
  QTest::keyClick(tile, Qt::Key_Space);
  QBAddController* editor = testing::settledOver<QBAddController>(main());
  ASSERT_TRUE(editor);
  EXPECT_EQ(editor->ruleListKind(), RuleListKind::NumberBlacklist);
  closeEditor(editor);
  // A screen reader's press on a row does what a tap does; so does Enter.
  QWidget* faq = testing::functionRow(main(), "常见问题");
  QAccessibleInterface* row = QAccessible::queryAccessibleInterface(faq);
  ASSERT_TRUE(row && row->actionInterface());
  EXPECT_EQ(row->text(QAccessible::Name), "常见问题");
  row->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  ASSERT_TRUE(testing::settledOver<CommonProblemController>(main()));
  tap(static_cast<NavigationContainer*>(main()->presentedViewController())->rightBarButton());  // 关闭
  ASSERT_TRUE(waitFor([&] { return main()->presentedViewController() == nullptr; }));
  faq->setFocus();
  QTest::keyClick(faq, Qt::Key_Return);
  EXPECT_TRUE(testing::settledOver<CommonProblemController>(main()));
}

// Stands in for the desktop's handlers of web and software-centre links, counting what it is asked to open.
class LinkRecorder : public QObject {
  Q_OBJECT

 public:
  LinkRecorder() {
    for (const char* scheme : {"https", "appstream"}) QDesktopServices::setUrlHandler(scheme, this, "open");
  }
  ~LinkRecorder() override {
    for (const char* scheme : {"https", "appstream"}) QDesktopServices::unsetUrlHandler(scheme);
  }
  std::vector<QUrl> opened;

 public slots:
  void open(const QUrl& url) { opened.push_back(url); }
};

// A quick double tap on a link row opens its page once.
TEST_F(MainScreen, ADoubleTapOnALinkOpensItOnce) {
  LinkRecorder links;
  QWidget* social = testing::functionRow(main(), "官方微博");
  tap(social);
  tap(social);
  QTest::qWait(50);
  ASSERT_EQ(links.opened.size(), 1u);
  EXPECT_EQ(links.opened[0].host(), "weibo.com");
}

// The store rows open the app's page in the desktop's software centre: the one application that declares
// appstream: links, as GNOME Software and Discover do. Only the test's own data home holds applications,
// so a software centre of the machine is not seen.
class StoreLinks : public MainScreen {
 protected:
  StoreLinks() : previousDataDirs_(qgetenv("XDG_DATA_DIRS")) {
    qputenv("XDG_DATA_DIRS", QByteArray::fromStdString(noApplications_.path().string()));
  }
  ~StoreLinks() override { qputenv("XDG_DATA_DIRS", previousDataDirs_); }
  void installSoftwareCentre(const char* mimeTypes = "x-scheme-handler/appstream;") {
    std::filesystem::create_directories(home_.path() / "applications");
    std::ofstream(home_.path() / "applications" / "software-centre.desktop")
        << "[Desktop Entry]\nType=Application\nName=Software\nExec=software %U\nMimeType=" << mimeTypes << "\n";
  }

  testing::TemporaryDirectory noApplications_;
  QByteArray previousDataDirs_;
};

TEST_F(StoreLinks, TheReviewRowOpensThisAppsPageInTheSoftwareCentre) {
  installSoftwareCentre("text/plain;x-scheme-handler/appstream;");
  LinkRecorder links;
  tap(testing::functionRow(main(), "好评鼓励"));
  ASSERT_EQ(links.opened.size(), 1u);
  EXPECT_EQ(links.opened[0], QUrl("appstream://app.quell.Quellbox"));
  EXPECT_EQ(main()->presentedViewController(), nullptr);
}

TEST_F(StoreLinks, AnOtherAppRowOpensThatAppsPage) {
  installSoftwareCentre();
  LinkRecorder links;
  tap(testing::functionRow(main(), "Quell 清理"));
  ASSERT_EQ(links.opened.size(), 1u);
  EXPECT_EQ(links.opened[0], QUrl("appstream://app.quell.Cleaner"));
}

// No application takes appstream: links (an entry for other types does not count): the row says so.
TEST_F(StoreLinks, WithoutASoftwareCentreTheRowSaysSo) {
  installSoftwareCentre("x-scheme-handler/apt;");
  LinkRecorder links;
  tap(testing::functionRow(main(), "好评鼓励"));
  auto* alert = testing::settledOver<UIAlertController>(main());
  ASSERT_TRUE(alert);
  EXPECT_EQ(alert->alertTitle(), "没有软件中心");
  EXPECT_TRUE(links.opened.empty());
}

// "推荐给朋友" shares how to get the app on Linux, not a link to another platform's store.
TEST_F(MainScreen, SharingSendsTheAppsNameAndHowToInstallIt) {
  tap(testing::functionRow(main(), "推荐给朋友"));
  auto* sheet = testing::settledOver<UIAlertController>(main());
  ASSERT_TRUE(sheet);
  const QString shared = sheet->message();
  EXPECT_TRUE(shared.contains("Quellbox"));
  EXPECT_TRUE(shared.contains("sudo apt install quell"));
  EXPECT_FALSE(shared.contains("apple.com"));
  tap(testing::named<QPushButton>(sheet, "拷贝"));
  EXPECT_EQ(QGuiApplication::clipboard()->text(), shared);
}

// An entry that looks like markup is shown as the text it is.
TEST_F(MainScreen, EntriesAreShownAsPlainText) {
  ASSERT_TRUE(RuleStore::writeList(RuleListKind::KeywordBlacklist, {"<br>", "<b>中奖</b>"}));
  QBAddController* editor = openEditor(3);
  ASSERT_TRUE(editor);
  for (int row = 0; row < 2; ++row) {
    QLabel* label = table(editor)->cellForRow(row)->textLabel();
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_GT(label->sizeHint().width(), QFontMetrics(label->font()).horizontalAdvance("<b>") - 1) << row;
  }
  EXPECT_EQ(table(editor)->cellForRow(0)->textLabel()->text(), "<br>");
}

TEST_F(MainScreen, TheFilterJudgesTheNextMessageByAnEntryAddedInTheApp) {
  const std::string body = "周末特价，全场清仓大甩卖";
  auto judge = [&] {
    return testing::runProcess(QUELLGUARD_PATH, {"--sender", "13800138000", "--body", body}, "",
                               {{"QUELL_LOG", "stderr"}})
        .out;
  };
  ASSERT_EQ(judge(), "none\n");
  QBAddController* editor = openEditor(3);
  addThroughPrompt(editor, "清仓");
  EXPECT_EQ(judge(), "junk\n");
}

TEST(RoundedImage, ClipsToTheRadiusOrACircle) {
  QImage wide(60, 40, QImage::Format_ARGB32_Premultiplied);
  wide.fill(Qt::red);
  QImage rounded = roundedImage(wide, 8, false);
  EXPECT_EQ(qAlpha(rounded.pixel(0, 0)), 0);
  EXPECT_EQ(qAlpha(rounded.pixel(8, 8)), 255);
  EXPECT_EQ(qAlpha(rounded.pixel(30, 0)), 255);  // straight edge between the corners
  QImage small(10, 10, QImage::Format_ARGB32_Premultiplied);
  small.fill(Qt::red);
  QImage circle = roundedImage(small, 8, false);  // radius capped at half the side: a circle
  for (QPoint corner : {QPoint(0, 0), QPoint(9, 0), QPoint(0, 9), QPoint(9, 9)})
    EXPECT_EQ(qAlpha(circle.pixel(corner)), 0) << corner.x() << "," << corner.y();
  EXPECT_EQ(qAlpha(circle.pixel(5, 5)), 255);
  EXPECT_EQ(qAlpha(circle.pixel(2, 5)), 255);
  EXPECT_LT(qAlpha(circle.pixel(1, 1)), 255);  // on the circle's edge
}

TEST(SystemVersionWarning, ShowsOnlyForTheTwoBrokenVersions) {
  testing::ScopedDataHome home;
  AppDelegate().didFinishLaunching();
  for (const char* version : {"12.3.1", "12.3.2", "12.3", "12.3.10"}) {
    qputenv("QUELL_SYSTEM_VERSION", version);
    LaunchInterface window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* alert = presentedOver<UIAlertController>(window.mainScreen());
    bool broken = std::string(version).size() == 6;
    ASSERT_EQ(alert != nullptr, broken) << version;
    if (alert) {
      EXPECT_EQ(alert->alertTitle(), "建议升级手机系统版本");
      EXPECT_EQ(alert->message(), QString("iOS %1 出现系统级Bug，\n无法过滤垃圾短信问题").arg(version));
      ASSERT_EQ(alert->actionButtons().size(), 1u);
      EXPECT_EQ(alert->actionButtons()[0]->text(), "好");
    }
    // The page below shows the lists' sizes, warning or not.
    EXPECT_EQ(testing::tile(window.mainScreen(), RuleListKind::NumberWhitelist)->accessibleName(), "号码白名单 (4)");
  }
  qunsetenv("QUELL_SYSTEM_VERSION");
}

}  // namespace
}  // namespace quell

#include "main_screen_test.moc"
