// The junk page as a person uses it: "拦截记录" on the main screen, the list growing while the bridge
// records junk, one message and each of its actions (checked in the rule store and in the junk log, and
// with quelllog), a log that another writer holds or that cannot be read, and a log at its bound of
// 10,000 entries. And how an entry is worded.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <fstream>

#include "app/junk_list_model.h"
#include "app/junk_texts.h"
#include "app/qb_junk_log_controller.h"
#include "app/qb_junk_message_controller.h"
#include "app/qb_settings_controller.h"
#include "engine/message_normalization.h"
#include "engine/rule_store.h"
#include "modembridge/junk_log.h"
#include "platform/ui/alert_controller.h"
#include "platform/ui/hud.h"
#include "platform/ui/navigation_container.h"
#include "tests/support/gui_driving.h"
#include "tests/support/junk_log_filling.h"
#include "tests/support/launched_app.h"
#include "tests/support/report_backend.h"

namespace quell {
namespace {

using testing::named;
using testing::settledOver;
using testing::tap;
using testing::waitFor;

JunkMessage junk(const std::string& sender, const std::string& body) {
  return {"", "/org/freedesktop/ModemManager1/Modem/0", sender, body, junkReasons(decideMessage(sender, body))};
}

// Everything a screen says, as one text.
QString shownText(QWidget* screen) {
  QStringList shown;
  for (auto* label : screen->findChildren<QLabel*>())
    if (label->isVisible()) shown << label->text();
  return shown.join('\n');
}

class JunkPage : public testing::LaunchedApp {
 protected:
  void SetUp() override {
    LaunchedApp::SetUp();
    ASSERT_TRUE(RuleStore::writeList(RuleListKind::KeywordBlacklist, {"退订", "贷款"}));
  }
  std::unique_ptr<JunkLog> log() {
    auto opened = JunkLog::open(JunkLog::defaultPath());
    EXPECT_TRUE(opened) << opened.message();
    return opened ? std::move(*opened) : nullptr;
  }
  QPushButton* barButton() { return named<QPushButton>(window_.get(), "拦截记录"); }
  // main screen > "拦截记录": the page, come to rest.
  QBJunkLogController* open() {
    tap(barButton());
    page_ = settledOver<QBJunkLogController>(main());
    return page_;
  }
  int rows() { return page_->model()->rowCount(); }
  // Row `row` of the list, tapped as a finger would; the message page it opens.
  QBJunkMessageController* openRow(int row) {
    QListView* list = page_->listView();
    const QRect rect = list->visualRect(page_->model()->index(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    message_ = settledOver<QBJunkMessageController>(page_);
    return message_;
  }
  // "关闭" on the page: back on the main screen.
  void closePage() {
    tap(page_->navigationContainer()->rightBarButton());
    ASSERT_TRUE(waitFor([&] { return main()->presentedViewController() == nullptr; }));
  }
  bool hudSays(const QString& label) {
    return waitFor([&] { return PKHUD::sharedHUD().isShowing() && PKHUD::sharedHUD().accessibilityLabel() == label; });
  }

  QBJunkLogController* page_ = nullptr;
  QBJunkMessageController* message_ = nullptr;
};

TEST_F(JunkPage, WithNoLogItSaysTheBridgeHasNotRunAndLeadsToTheSettings) {
  ASSERT_TRUE(barButton());
  EXPECT_EQ(testing::accessibleNameOf(barButton()), "拦截记录");
  ASSERT_TRUE(open());
  EXPECT_TRUE(shownText(page_).contains("还没有拦截记录")) << qPrintable(shownText(page_));
  EXPECT_TRUE(shownText(page_).contains("过滤收到的短信"));
  EXPECT_FALSE(std::filesystem::exists(JunkLog::defaultPath()));  // opening the page makes no log
  tap(named<QPushButton>(page_, "前往设置"));
  EXPECT_TRUE(settledOver<QBSettingsController>(page_));
  // The bridge starts meanwhile and records a message: the page, open below the settings, shows it.
  ASSERT_TRUE(log()->record(junk("10690000", "回复退订")));
  EXPECT_TRUE(waitFor([&] { return rows() == 1; }));
}

// The badge counts what came since the page was last opened; the list grows while it is open, follows the
// marks quelllog makes, and its search keeps the entries whose sender or text holds what is typed.
TEST_F(JunkPage, EntriesAppearLiveAndTheBadgeCountsWhatCameSinceThePageWasOpen) {
  auto bridge = log();
  ASSERT_TRUE(bridge->record(junk("10690000", "回复退订 第一条")));
  ASSERT_TRUE(bridge->record(junk("10690001", "无抵押贷款，当天放款")));
  QLabel* badge = nullptr;
  ASSERT_TRUE(waitFor([&] {
    badge = barButton() ? barButton()->findChild<QLabel*>() : nullptr;
    return badge && badge->isVisible() && badge->text() == "2";
  }));
  ASSERT_TRUE(open());
  EXPECT_EQ(rows(), 2);
  EXPECT_EQ(page_->model()->entryAt(0).message.sender, "10690001");  // newest first
  for (const char* sender : {"10690002", "10690003", "10690004"})
    ASSERT_TRUE(bridge->record(junk(sender, "回复退订 又一条")));
  ASSERT_TRUE(waitFor([&] { return rows() == 5; })) << rows();
  EXPECT_EQ(page_->model()->entryAt(0).message.sender, "10690004");
  EXPECT_EQ(page_->model()->data(page_->model()->index(1), JunkListModel::kStageRole).toString(),
            "关键词黑名单 \"退订\"");

  // quelllog takes one back: the row says so.
  const std::int64_t first = page_->model()->entryAt(4).id;
  ASSERT_TRUE(whitelistSender(*bridge, first));
  EXPECT_TRUE(
      waitFor([&] { return page_->model()->data(page_->model()->index(4), JunkListModel::kNotJunkRole).toBool(); }));

  auto* search = named<QLineEdit>(page_, "搜索发件人或内容");
  ASSERT_TRUE(search);
  search->insert("贷款");  // as an input method commits it
  EXPECT_EQ(rows(), 1);
  EXPECT_EQ(page_->model()->entryAt(0).message.sender, "10690001");
  search->clear();
  QTest::keyClicks(search, "10690003");
  EXPECT_EQ(rows(), 1);
  search->clear();
  EXPECT_EQ(rows(), 5);

  closePage();
  EXPECT_TRUE(waitFor([&] { return !badge->isVisible(); }));  // all seen while the page was open
  ASSERT_TRUE(bridge->record(junk("10690005", "回复退订")));
  EXPECT_TRUE(waitFor([&] { return badge->isVisible() && badge->text() == "1"; }));
  // "全部清除" elsewhere (quelllog clear) while the page is open empties it.
  ASSERT_TRUE(open());
  ASSERT_TRUE(bridge->clear());
  EXPECT_TRUE(waitFor([&] { return rows() == 0; }));
  EXPECT_TRUE(waitFor([&] { return shownText(page_).contains("没有拦截记录"); })) << qPrintable(shownText(page_));
}

class JunkMessagePage : public JunkPage {
 protected:
  void SetUp() override {
    qputenv("QUELL_REPORT_URL", backend_.baseUrl().c_str());
    qputenv("QUELL_REPORT_CA_FILE", backend_.server().certificate().c_str());
    JunkPage::SetUp();
  }
  void TearDown() override {
    for (const char* name : {"QUELL_REPORT_URL", "QUELL_REPORT_CA_FILE"}) qunsetenv(name);
  }
  testing::ReportBackend backend_;
};

TEST_F(JunkMessagePage, ShowsWhyAndEachActionIsStored) {
  auto bridge = log();
  const std::string body = "【某某贷】无抵押信用贷款，当天放款\n回复退订<b>";
  const std::int64_t id = *bridge->record(junk("10690000", body));
  ASSERT_TRUE(open());
  ASSERT_TRUE(openRow(0));
  const QString text = shownText(message_);
  EXPECT_TRUE(text.contains("10690000"));
  EXPECT_TRUE(text.contains(QString::fromStdString(body))) << qPrintable(text);  // whole, as plain text
  EXPECT_TRUE(text.contains("短信含有关键词黑名单中的 “退订”、“贷款”。")) << qPrintable(text);
  EXPECT_TRUE((*bridge->entry(id))->read);  // opened: read
  EXPECT_TRUE(
      waitFor([&] { return !page_->model()->data(page_->model()->index(0), JunkListModel::kUnreadRole).toBool(); }));

  QGuiApplication::clipboard()->clear();
  tap(named<QPushButton>(message_, "复制"));
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), body);

  // "举报误判": the report says the person holds it for ham where the filter said spam.
  tap(named<QPushButton>(message_, "举报误判"));
  ASSERT_TRUE(waitFor([&] { return PKHUD::sharedHUD().isShowing() && PKHUD::sharedHUD().text() == "感谢"; }));
  std::vector<SpamReport> reports;
  backend_.store().forEach([&](const SpamReport& r, const ReportStore::Stored&) { reports.push_back(r); });
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].useRating, "ham");
  EXPECT_EQ(reports[0].appRating, "spam");
  EXPECT_EQ(reports[0].text, normalizeMessageBody(body));

  // "不是垃圾短信": the sender on the whitelist, the entry marked (as quelllog shows it), copy offered.
  tap(named<QPushButton>(message_, "不是垃圾短信"));
  auto* offer = settledOver<UIAlertController>(message_);
  ASSERT_TRUE(offer);
  EXPECT_EQ(offer->alertTitle(), "已加入号码白名单");
  auto whitelist = RuleStore::storedList(RuleListKind::NumberWhitelist);
  EXPECT_EQ(std::count(whitelist.begin(), whitelist.end(), "10690000"), 1);
  EXPECT_TRUE((*bridge->entry(id))->notJunk);
  auto listed = testing::runProcess(QUELLLOG_PATH, {"list"});
  EXPECT_NE(listed.out.find("[not junk]"), std::string::npos) << listed.out;
  tap(named<QPushButton>(offer, "好"));
  EXPECT_TRUE(waitFor([&] { return message_->presentedViewController() == nullptr; }));
  EXPECT_TRUE(shownText(message_).contains("已标为不是垃圾短信"));

  // "删除记录": asks first; "取消" keeps it, "删除" removes it and closes the page.
  tap(named<QPushButton>(message_, "删除记录"));
  auto* confirm = settledOver<UIAlertController>(message_);
  ASSERT_TRUE(confirm);
  tap(named<QPushButton>(confirm, "取消"));
  EXPECT_TRUE(waitFor([&] { return message_->presentedViewController() == nullptr; }));
  EXPECT_TRUE(*bridge->entry(id));
  tap(named<QPushButton>(message_, "删除记录"));
  confirm = settledOver<UIAlertController>(message_);
  ASSERT_TRUE(confirm);
  tap(named<QPushButton>(confirm, "删除"));
  EXPECT_TRUE(waitFor([&] { return page_->presentedViewController() == nullptr; }));
  EXPECT_FALSE(*bridge->entry(id));
  EXPECT_TRUE(waitFor([&] { return rows() == 0; }));
  EXPECT_EQ(testing::runProcess(QUELLLOG_PATH, {"list"}).out, "");
}

// With the keyboard only: Tab reaches the list, Return opens the row, every action is a named button, and
// Escape closes the message and then the page.
TEST_F(JunkPage, EverythingIsReachableByKeyboard) {
  auto bridge = log();
  ASSERT_TRUE(bridge->record(junk("10690000", "回复退订")));
  ASSERT_TRUE(open());
  QListView* list = page_->listView();
  list->setFocus(Qt::TabFocusReason);
  list->setCurrentIndex(page_->model()->index(0));
  QTest::keyClick(list, Qt::Key_Return);
  message_ = settledOver<QBJunkMessageController>(page_);
  ASSERT_TRUE(message_);
  for (const char* action : {"不是垃圾短信", "复制", "举报误判", "删除记录"}) {
    auto* button = named<QPushButton>(message_, action);
    ASSERT_TRUE(button) << action;
    EXPECT_TRUE(button->focusPolicy() & Qt::TabFocus) << action;
  }
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_TRUE(waitFor([&] { return page_->presentedViewController() == nullptr; }));
  QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : page_, Qt::Key_Escape);
  EXPECT_TRUE(waitFor([&] { return main()->presentedViewController() == nullptr; }));
}

// A log that another writer holds: the page shows it, and "标为已读", "全部清除", "删除记录" and "不是垃圾短信"
// each say they were not saved and change nothing. A log that is no database is named, with why.
TEST_F(JunkPage, ALockedLogShowsTheErrorAndChangesNothing) {
  auto bridge = log();
  const std::int64_t id = *bridge->record(junk("10690000", "回复退订"));
  ASSERT_TRUE(bridge->record(junk("10690001", "回复退订")));
  ASSERT_TRUE(RuleStore::writeList(RuleListKind::NumberWhitelist, {}));
  {
    testing::StoreWriteLock lock(JunkLog::defaultPath());
    ASSERT_TRUE(open());
    EXPECT_EQ(rows(), 2);
    tap(named<QPushButton>(page_, "标为已读"));
    EXPECT_TRUE(hudSays("未能保存"));
    EXPECT_TRUE(PKHUD::sharedHUD().text().contains("占用")) << qPrintable(PKHUD::sharedHUD().text());
    tap(named<QPushButton>(page_, "全部清除"));
    auto* confirm = settledOver<UIAlertController>(page_);
    ASSERT_TRUE(confirm);
    PKHUD::sharedHUD().hide(0);
    tap(named<QPushButton>(confirm, "全部清除"));
    EXPECT_TRUE(hudSays("未能保存"));
    EXPECT_EQ(rows(), 2);

    ASSERT_TRUE(openRow(1));
    tap(named<QPushButton>(message_, "删除记录"));
    confirm = settledOver<UIAlertController>(message_);
    ASSERT_TRUE(confirm);
    PKHUD::sharedHUD().hide(0);
    tap(named<QPushButton>(confirm, "删除"));
    EXPECT_TRUE(hudSays("未能保存"));
    EXPECT_EQ(page_->presentedViewController()->isVisible(), true);  // the page stays
    PKHUD::sharedHUD().hide(0);
    tap(named<QPushButton>(message_, "不是垃圾短信"));
    EXPECT_TRUE(hudSays("未能保存"));
    EXPECT_TRUE(RuleStore::storedList(RuleListKind::NumberWhitelist).empty());
  }
  auto entries = bridge->entries();
  ASSERT_EQ(entries->size(), 2u);
  for (const auto& entry : *entries) {
    EXPECT_FALSE(entry.read) << entry.id;
    EXPECT_FALSE(entry.notJunk) << entry.id;
  }
  EXPECT_EQ(entries->front().id, id);
}

// The log removed and made anew underneath (a reinstall, a restore): the page follows the new file.
TEST_F(JunkPage, ALogReplacedUnderneathIsOpenedAgain) {
  ASSERT_TRUE(log()->record(junk("10690000", "回复退订 旧")));
  ASSERT_TRUE(open());
  ASSERT_EQ(rows(), 1);
  for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(JunkLog::defaultPath().string() + suffix);
  EXPECT_TRUE(waitFor([&] { return rows() == 0; }));
  ASSERT_TRUE(log()->record(junk("10690001", "回复退订 新")));
  EXPECT_TRUE(waitFor([&] { return rows() == 1 && page_->model()->entryAt(0).message.sender == "10690001"; }));
}

TEST_F(JunkPage, ALogThatCannotBeReadIsNamed) {
  std::filesystem::create_directories(JunkLog::defaultPath().parent_path());
  std::ofstream(JunkLog::defaultPath()) << std::string(4096, 'x');
  ASSERT_TRUE(open());
  EXPECT_TRUE(shownText(page_).contains("无法读取拦截记录")) << qPrintable(shownText(page_));
  EXPECT_EQ(rows(), 0);
  EXPECT_EQ(std::string(4096, 'x').size(), std::filesystem::file_size(JunkLog::defaultPath()));  // untouched
}

// 10,000 entries, the log's bound: the page opens with one page of rows read, and a finger scrolls it
// to the oldest entry, the rows read as they come into view.
TEST_F(JunkPage, TenThousandEntriesOpenAndScrollToTheirEnd) {
  ASSERT_TRUE(testing::fillJunkLog(JunkLog::defaultPath(), 10000));
  QElapsedTimer opening;
  opening.start();
  ASSERT_TRUE(open());
  EXPECT_LT(opening.elapsed(), 5000);  // generous: the benchmark holds the real target
  EXPECT_LE(rows(), 2 * JunkListModel::kPageSize);
  EXPECT_EQ(page_->model()->entryAt(0).message.sender, "106910000");
  QListView* list = page_->listView();
  // A finger's flick moves it; then on to the end, each page read as the end comes into view.
  testing::touchDrag(list->viewport(), QPoint(100, list->viewport()->height() - 20), QPoint(100, 20));
  EXPECT_TRUE(waitFor([&] { return list->verticalScrollBar()->value() > 0; }));
  ASSERT_TRUE(waitFor(
      [&] {
        list->scrollToBottom();
        return rows() == 10000 && !page_->model()->canFetchMore({});
      },
      180000))
      << rows();
  EXPECT_EQ(page_->model()->entryAt(9999).message.sender, "10691");
  EXPECT_TRUE(waitFor([&] { return list->verticalScrollBar()->value() == list->verticalScrollBar()->maximum(); }));
}

TEST(JunkTexts, TimesStagesAndReasonsInAPersonsWords) {
  const QDateTime now(QDate(2026, 12, 7), QTime(18, 0));
  EXPECT_EQ(junkListTime(QDateTime(QDate(2026, 12, 7), QTime(14, 32)), now), "14:32");
  EXPECT_EQ(junkListTime(QDateTime(QDate(2026, 12, 5), QTime(9, 1)), now), "12月5日");
  EXPECT_EQ(junkListTime(QDateTime(QDate(2025, 12, 7), QTime(14, 32)), now), "2025年12月7日");
  JunkEntry entry;
  entry.logged = "2026-12-07T06:32:00Z";
  entry.message.received = "not a time";
  EXPECT_EQ(junkReceivedTime(entry), QDateTime(QDate(2026, 12, 7), QTime(6, 32), Qt::UTC));
  entry.message.received = "2026-12-07T14:32:05+08:00";
  EXPECT_EQ(junkReceivedTime(entry).toUTC(), QDateTime(QDate(2026, 12, 7), QTime(6, 32, 5), Qt::UTC));

  using Json = nlohmann::ordered_json;
  EXPECT_EQ(junkStageText(Json{{"stage", "number-blacklist"}, {"matched", {"10690000"}}}), "号码黑名单");
  EXPECT_EQ(junkReasonText(Json{{"stage", "number-blacklist"}, {"matched", {"10690000"}}}),
            "发件人 “10690000” 在号码黑名单中。");
  EXPECT_EQ(junkStageText(Json{{"stage", "keyword-blacklist"}, {"matched", {"退订", "TD"}}}),
            "关键词黑名单 \"退订\" \"TD\"");
  // The model's reasons as the engine gives them for a real message.
  const FilterDecision decision =
      decideMessage("13800138000", "【某某商城】会员日特惠：全场满199减100，新品首发低至五折");
  ASSERT_EQ(decision.stage, FilterStage::kModel);
  const Json reasons = junkReasons(decision);
  EXPECT_EQ(junkStageText(reasons), "智能模型");
  const QString why = junkReasonText(reasons);
  EXPECT_TRUE(why.startsWith("智能模型判断这是垃圾短信：得分 ")) << qPrintable(why);
  const auto& top = decision.model->words.front();
  EXPECT_TRUE(why.contains("“" + QString::fromStdString(top.word) + "”")) << qPrintable(why);
  EXPECT_TRUE(why.contains(top.weight > 0 ? "最像垃圾短信的词：" : "最像正常短信的词：")) << qPrintable(why);
  // What a damaged or hostile log may hold reads as no reason, never a crash.
  for (const Json& bad : {Json::array(), Json{{"stage", 3}}, Json{{"stage", "model"}, {"words", "x"}, {"score", "y"}},
                          Json{{"stage", "keyword-blacklist"}, {"matched", {1, nullptr}}}})
    EXPECT_FALSE(junkReasonText(bad).isEmpty()) << bad.dump();
  EXPECT_EQ(junkPreviewText("第一行\r\n第二行\t\u202e完"), "第一行 第二行 \u202e完");
}

}  // namespace
}  // namespace quell
