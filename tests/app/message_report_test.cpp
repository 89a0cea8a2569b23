// The message test and the report, as a person uses them: copy a text, tap "反馈漏拦短信", read the verdict,
// tap a report button; the report travels over real HTTPS to a real backend on 127.0.0.1.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTcpServer>
#include <QTest>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <typeinfo>

#include "app/app_delegate.h"
#include "app/launch_interface.h"
#include "app/qb_network_request.h"
#include "app/view_controller.h"
#include "platform/ui/alert_controller.h"
#include "platform/ui/hud.h"
#include "tests/support/gui_driving.h"
#include "tests/support/launched_app.h"
#include "tests/support/report_backend.h"
#include "tests/support/test_environment.h"

namespace quell {
namespace {

constexpr const char* kModelSpam = "【商城】会员专享，全场满减大促，新品首发低至五折，积分翻倍免费包邮，速来抢购";
constexpr const char* kModelHam = "好的，我明天下午三点到公司楼下等你";

using testing::tap;
using testing::waitFor;

class MessageTest : public testing::LaunchedApp {
 protected:
  void SetUp() override {
    qputenv("QUELL_REPORT_URL", backend_.baseUrl().c_str());
    qputenv("QUELL_REPORT_CA_FILE", backend_.server().certificate().c_str());
    qputenv("QUELL_MACHINE_ID_FILE", (dir_.path() / "machine-id").c_str());
    std::ofstream(dir_.path() / "machine-id") << "0123456789abcdef0123456789abcdef\n";
    LaunchedApp::SetUp();
  }
  void TearDown() override {
    for (const char* name : {"QUELL_REPORT_URL", "QUELL_REPORT_CA_FILE", "QUELL_MACHINE_ID_FILE"}) qunsetenv(name);
  }

  // Copies text and taps "反馈漏拦短信"; the alert it brings up.
  UIAlertController* testCopied(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    tap(testing::functionRow(main(), "反馈漏拦短信"));
    return testing::settledOver<UIAlertController>(main());
  }
  static QStringList buttons(UIAlertController* alert) {
    QStringList titles;
    for (auto* b : alert->actionButtons()) titles << b->text();
    return titles;
  }
  std::vector<SpamReport> stored() {
    std::vector<SpamReport> reports;
    backend_.store().forEach([&](const SpamReport& r, const ReportStore::Stored&) { reports.push_back(r); });
    return reports;
  }

  testing::TemporaryDirectory dir_;
  testing::ReportBackend backend_;
};

TEST_F(MessageTest, EachVerdictHasItsTitle) {
  struct Case {
    const char* text;
    const char* title;
  } cases[] = {
      {"您的验证码是1234，回复TD退订", "这是 正常短信 不过滤\n白名单：[\"验证码\"]"},  // the whitelist wins
      {"贷款请回T", "这是 垃圾短信 过滤\n黑名单：[\"回T\", \"贷款\"]"},                // list order, not text order
      {"请回复退\n订", "这是 垃圾短信 过滤\n黑名单：[\"退订\"]"},                      // split by a line break
      {kModelSpam, "这是 垃圾短信 过滤"},
      {kModelHam, "这是 正常短信 不过滤"},
  };
  for (const auto& c : cases) {
    UIAlertController* alert = testCopied(QString::fromUtf8(c.text));
    ASSERT_TRUE(alert) << c.text;
    EXPECT_EQ(alert->alertTitle(), QString::fromUtf8(c.title));
    EXPECT_EQ(alert->message(), QString::fromUtf8(c.text));  // as copied, line breaks and all
    EXPECT_EQ(buttons(alert), (QStringList{"这是垃圾短信", "这是正常短信", "好"}));
    tap(alert->actionButtons()[2]);  // 好
    ASSERT_FALSE(window_->mainScreen()->presentedViewController());
  }
  QTest::qWait(300);
  EXPECT_EQ(backend_.store().count(), 0);  // "好" sends nothing
}

// Copied text is shown as it is: markup stays text, and line breaks stay.
TEST_F(MessageTest, CopiedMarkupIsShownAsText) {
  const QString copied = "<b>中奖</b>啦\n<br>请回复";
  UIAlertController* alert = testCopied(copied);
  ASSERT_TRUE(alert);
  QLabel* message = nullptr;
  for (auto* label : alert->findChildren<QLabel*>())
    if (label->text() == copied) message = label;
  ASSERT_TRUE(message);
  EXPECT_EQ(message->textFormat(), Qt::PlainText);
  // Two lines, as copied.
  EXPECT_GE(message->height(), 2 * QFontMetrics(message->font()).lineSpacing());
  tap(alert->actionButtons().back());
}

// However long the copied text, the alert fits the window: the text scrolls, every button can be
// reached, and Escape closes it as "好" does, sending nothing.
TEST_F(MessageTest, ALongMessageScrollsInsideTheAlertAndEscapeCancels) {
  QString copied;
  for (int line = 1; line <= 60; ++line) copied += QString("第%1行：恭喜您中奖，请点击链接领取\n").arg(line);
  UIAlertController* alert = testCopied(copied);
  ASSERT_TRUE(alert);
  const QRect window = window_->rect();
  for (QPushButton* button : alert->actionButtons()) {
    QRect shown(button->mapTo(window_.get(), QPoint(0, 0)), button->size());
    EXPECT_TRUE(window.contains(shown)) << button->text().toStdString() << " at " << shown.y();
  }
  auto* scroller = alert->findChild<QScrollArea*>();
  ASSERT_TRUE(scroller);
  EXPECT_GT(scroller->verticalScrollBar()->maximum(), 0);  // the rest of the text is a scroll away
  QTest::keyClick(alert, Qt::Key_Escape);
  EXPECT_TRUE(waitFor([&] { return window_->mainScreen()->presentedViewController() == nullptr; }));
  QTest::qWait(300);
  EXPECT_EQ(backend_.store().count(), 0);
}

TEST_F(MessageTest, NothingUsableOnTheClipboardAsksForACopy) {
  for (const char* text : {"", " .-\n\r. ", "\t"}) {
    UIAlertController* alert = testCopied(QString::fromUtf8(text));
    ASSERT_TRUE(alert) << text;
    EXPECT_EQ(alert->alertTitle(), "请拷贝短信内容到剪贴板");
    EXPECT_EQ(buttons(alert), QStringList{"好"});
    tap(alert->actionButtons()[0]);
  }
}

TEST_F(MessageTest, AReportReachesTheBackendWithTheNormalisedText) {
  UIAlertController* alert = testCopied("  贷款\n请回T.  ");
  ASSERT_TRUE(alert);
  ::testing::internal::CaptureStderr();
  tap(alert->actionButtons()[1]);  // 这是正常短信
  ASSERT_TRUE(waitFor([&] { return PKHUD::sharedHUD().isShowing() && PKHUD::sharedHUD().text() == "感谢"; }));
  std::string console = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(console.find("URL Session Task Succeeded: HTTP 201"), std::string::npos) << console;
  auto reports = stored();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].useRating, "ham");
  EXPECT_EQ(reports[0].appRating, "spam");
  EXPECT_EQ(reports[0].text, "贷款请回T");
  EXPECT_TRUE(reports[0].osVersion);
  EXPECT_EQ(reports[0].appVersion, "1.0.0");
  ASSERT_TRUE(reports[0].deviceUuid);
  EXPECT_EQ(reports[0].deviceUuid->size(), 36u);
  EXPECT_TRUE(waitFor([] { return !PKHUD::sharedHUD().isShowing(); }, kReportHudMs + 2000));
}

TEST_F(MessageTest, WithoutADeviceIdentifierTheReportHasNone) {
  qputenv("QUELL_MACHINE_ID_FILE", (dir_.path() / "no-such-file").c_str());
  UIAlertController* alert = testCopied(kModelHam);
  tap(alert->actionButtons()[0]);  // 这是垃圾短信
  ASSERT_TRUE(waitFor([&] { return backend_.store().count() == 1; }));
  auto reports = stored();
  EXPECT_EQ(reports[0].useRating, "spam");
  EXPECT_EQ(reports[0].appRating, "ham");
  EXPECT_FALSE(reports[0].deviceUuid);
}

// A backend that takes the connection and never answers: the user sees at once that the report is under
// way, and within 15 seconds that it failed, for long enough to read it.
TEST_F(MessageTest, ASilentBackendShowsProgressAtOnceAndFailsWithinFifteenSeconds) {
  QTcpServer silent;  // accepts, and never says a word
  ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
  qputenv("QUELL_REPORT_URL", ("https://127.0.0.1:" + std::to_string(silent.serverPort())).c_str());
  UIAlertController* alert = testCopied(kModelHam);
  ASSERT_TRUE(alert);
  QElapsedTimer sent;
  sent.start();
  tap(alert->actionButtons()[0]);  // 这是垃圾短信
  EXPECT_TRUE(PKHUD::sharedHUD().isShowing());
  EXPECT_EQ(PKHUD::sharedHUD().content(), PKHUD::Content::kProgress);
  EXPECT_EQ(PKHUD::sharedHUD().accessibilityLabel(), "正在提交");
  ASSERT_TRUE(waitFor([] { return PKHUD::sharedHUD().isShowing() && PKHUD::sharedHUD().text() == "提交失败"; },
                      kReportTimeoutMs * 3));
  EXPECT_LT(sent.elapsed(), 2 * kReportTimeoutMs);  // not the minute it took before, even on a busy machine
  // The outcome replaces the progress mark: one box on screen.
  QWidget* box = PKHUD::sharedHUD().view();
  int boxes = 0;
  for (QWidget* child : window_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (child->isVisible() && typeid(*child) == typeid(*box)) ++boxes;
  EXPECT_EQ(boxes, 1);
  QElapsedTimer shown;
  shown.start();
  ASSERT_TRUE(waitFor([] { return !PKHUD::sharedHUD().isShowing(); }, kReportHudMs * 3));
  EXPECT_GE(shown.elapsed(), 1500);  // long enough to read
}

// Only a 2xx answer means the report was stored: any other status, no answer at all and a backend that is
// not https each show "提交失败" and say why on the console.
TEST_F(MessageTest, OnlyAStoredReportThanksAndEveryFailureSaysSo) {
  testing::HttpsTestServer broken;
  std::string body, contentType, applicationId;
  int status = 500;
  broken.server().Post("/classes/spam", [&](const httplib::Request& req, httplib::Response& res) {
    body = req.body;
    contentType = req.get_header_value("Content-Type");
    applicationId = req.get_header_value("X-Bmob-Application-Id");
    res.status = status;
  });
  broken.start();
  qputenv("QUELL_REPORT_URL", ("https://127.0.0.1:" + std::to_string(broken.port())).c_str());
  qputenv("QUELL_REPORT_CA_FILE", broken.certificate().c_str());
  auto reportShows = [&](const char* hud) {
    tap(testCopied(kModelHam)->actionButtons()[0]);
    bool shown = waitFor([&] { return PKHUD::sharedHUD().isShowing() && PKHUD::sharedHUD().text() == hud; });
    waitFor([] { return !PKHUD::sharedHUD().isShowing(); }, kReportHudMs + 2000);
    return shown;
  };
  for (int refused : {400, 401, 413, 415, 500, 503}) {
    status = refused;
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(reportShows("提交失败")) << refused;
    std::string console = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(console.find("URL Session Task Failed: HTTP " + std::to_string(refused)), std::string::npos) << console;
  }
  status = 200;
  EXPECT_TRUE(reportShows("感谢"));
  // The body is compact JSON holding exactly the report's members, all strings.
  EXPECT_EQ(contentType, "application/json");
  EXPECT_EQ(applicationId, "7d3f9a0c2e5b48e1a6c0f4b29d8e1c53");
  EXPECT_EQ(body.find('\n'), std::string::npos);
  EXPECT_EQ(body.find("\": "), std::string::npos);
  auto report = nlohmann::json::parse(body);
  std::set<std::string> members;
  for (const auto& [name, value] : report.items()) {
    members.insert(name);
    EXPECT_TRUE(value.is_string()) << name;
  }
  EXPECT_EQ(members,
            (std::set<std::string>{"use_rating", "app_rating", "text", "os_version", "device_uuid", "app_version"}));

  qputenv("QUELL_REPORT_URL", "https://127.0.0.1:1");  // nothing listens there
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(reportShows("提交失败"));
  std::string console = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(console.find("URL Session Task Failed: "), std::string::npos) << console;

  // A backend that is not https gets nothing, and the user is told.
  body.clear();
  qputenv("QUELL_REPORT_URL", ("http://127.0.0.1:" + std::to_string(broken.port())).c_str());
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(reportShows("提交失败"));
  console = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(console.find("is not an https URL"), std::string::npos) << console;
  EXPECT_TRUE(body.empty());
}

}  // namespace
}  // namespace quell
