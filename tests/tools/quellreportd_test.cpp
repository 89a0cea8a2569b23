// The report backend under good and bad input, over real HTTPS on 127.0.0.1.
#include <gtest/gtest.h>

#include <future>
#include <nlohmann/json.hpp>
#include <thread>

#include "tests/support/report_backend.h"

namespace quell {
namespace {

using nlohmann::json;

httplib::Headers keys(const char* restKey = kDefaultRestKey) {
  return {{"X-Bmob-Application-Id", kDefaultApplicationId}, {"X-Bmob-REST-API-Key", restKey}};
}

// A report posted to backend by a client that checks its certificate.
httplib::Result postReport(testing::ReportBackend& backend, const std::string& body, const httplib::Headers& headers,
                           const char* type = "application/json") {
  httplib::SSLClient client("127.0.0.1", backend.server().port());
  client.set_ca_cert_path(backend.server().certificate().c_str());
  client.enable_server_certificate_verification(true);
  client.set_connection_timeout(10, 0);
  client.set_read_timeout(10, 0);
  return client.Post("/classes/spam", headers, body, type);
}

class ReportBackendTest : public ::testing::Test {
 protected:
  httplib::Result post(const std::string& body, const httplib::Headers& headers,
                       const char* type = "application/json") {
    return postReport(backend_, body, headers, type);
  }
  testing::ReportBackend backend_;
};

const json kReport = {{"use_rating", "spam"},
                      {"app_rating", "ham"},
                      {"text", "回复TD退订"},
                      {"os_version", "12"},
                      {"app_version", "1.0.0"}};

TEST_F(ReportBackendTest, StoresAGoodReportAndAnswersItsIdAndTime) {
  auto res = post(kReport.dump(), keys());
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 201);
  auto answer = json::parse(res->body);
  EXPECT_EQ(answer["objectId"].get<std::string>().size(), 10u);
  EXPECT_EQ(answer["createdAt"].get<std::string>().size(), 19u);
  int seen = 0;
  backend_.store().forEach([&](const SpamReport& r, const ReportStore::Stored& stored) {
    ++seen;
    EXPECT_EQ(stored.objectId, answer["objectId"]);
    EXPECT_EQ(r.useRating, "spam");
    EXPECT_EQ(r.appRating, "ham");
    EXPECT_EQ(r.text, "回复TD退订");
    EXPECT_EQ(r.osVersion, "12");
    EXPECT_FALSE(r.deviceUuid);
  });
  EXPECT_EQ(seen, 1);
  // The media type is compared without regard to case, and parameters may follow it.
  for (const char* json : {"application/json; charset=utf-8", "Application/JSON; charset=utf-8", "APPLICATION/JSON",
                           " application/json ;charset=UTF-8"})
    EXPECT_EQ(post(kReport.dump(), keys(), json)->status, 201) << json;
  for (const char* other : {"text/plain", "application/jsonx", "application/json-patch+json", "application"})
    EXPECT_EQ(post(kReport.dump(), keys(), other)->status, 415) << other;
}

// A text holding U+0000 is stored and exported whole, as it was sent.
TEST_F(ReportBackendTest, ATextWithANulIsKeptWhole) {
  json report = kReport;
  report["text"] = std::string("中奖\0回T", 10);
  ASSERT_EQ(post(report.dump(), keys())->status, 201);
  std::vector<std::string> texts;
  backend_.store().forEach([&](const SpamReport& r, const ReportStore::Stored&) { texts.push_back(r.text); });
  EXPECT_EQ(texts, std::vector<std::string>{std::string("中奖\0回T", 10)});
}

// Clients that connect and say nothing hold back no one. Here they would be kept for 30 s, so a report
// that had to wait for them would fail its own 10 s timeout.
TEST(ReportBackendIdleClients, HoldBackNoReport) {
  testing::ReportBackend backend(30);
  testing::IdleConnections idle(backend.server().port(), 100);
  ASSERT_FALSE(idle.empty());
  auto res = postReport(backend, kReport.dump(), keys());
  ASSERT_TRUE(res) << httplib::to_string(res.error());
  EXPECT_EQ(res->status, 201);
}

TEST_F(ReportBackendTest, RefusesBadRequestsWithTheRightStatus) {
  EXPECT_EQ(post(kReport.dump(), {})->status, 401);
  EXPECT_EQ(post(kReport.dump(), keys("00000000000000000000000000000000"))->status, 401);
  for (const std::string& bad : {std::string("{not json"), std::string("[1]"), std::string("\"text\""),
                                 json{{"use_rating", "spam"}, {"app_rating", "ham"}, {"text", 7}}.dump(),
                                 json{{"use_rating", "junk"}, {"app_rating", "ham"}, {"text", "x"}}.dump(),
                                 json{{"app_rating", "ham"}, {"text", "x"}}.dump(),
                                 json{{"use_rating", "spam"}, {"app_rating", "ham"}, {"text", ""}}.dump(),
                                 std::string("{\"use_rating\":\"spam\",\"app_rating\":\"ham\",\"text\":\"\xff\"}")}) {
    auto res = post(bad, keys());
    ASSERT_TRUE(res) << bad;
    EXPECT_EQ(res->status, 400) << bad;
    EXPECT_FALSE(json::parse(res->body)["error"].get<std::string>().empty());
  }
  std::string huge = json{{"use_rating", "spam"}, {"app_rating", "ham"}, {"text", std::string(100000, 'a')}}.dump();
  EXPECT_EQ(post(huge, keys())->status, 413);
  EXPECT_EQ(backend_.store().count(), 0);
  EXPECT_EQ(post(kReport.dump(), keys())->status, 201);  // and it goes on serving
}

// A client that sends half a request and stalls is cut off, while others are served and nothing stored
// is lost.
TEST_F(ReportBackendTest, StalledClientIsCutOffAndOthersAreServed) {
  ASSERT_EQ(post(kReport.dump(), keys())->status, 201);
  std::promise<void> stalling;
  std::thread stalled([&] {
    httplib::SSLClient raw("127.0.0.1", backend_.server().port());
    raw.enable_server_certificate_verification(false);
    // Declares a long body but sends only part of it, through a provider that then waits.
    raw.set_write_timeout(3, 0);
    raw.set_read_timeout(3, 0);
    auto res = raw.Post(
        "/classes/spam", keys(), 1000,
        [&](size_t offset, size_t, httplib::DataSink& sink) {
          if (offset == 0) {
            sink.write("{\"use_rating\":", 14);
            stalling.set_value();
          }
          std::this_thread::sleep_for(std::chrono::milliseconds(2500));
          return false;  // gives up without finishing the body
        },
        "application/json");
    EXPECT_TRUE(!res || res->status >= 400);
  });
  // The others come while the stalled client holds its connection.
  EXPECT_EQ(stalling.get_future().wait_for(std::chrono::seconds(20)), std::future_status::ready);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(post(kReport.dump(), keys())->status, 201);
  stalled.join();
  EXPECT_EQ(backend_.store().count(), 6);
}

// What the backend stored comes back out as lines the trainer reads: the user's label, a tab, the text
// normalised as the filter normalises it, on one line.
TEST(ReportExport, WritesLabeledLinesForTheTrainer) {
  testing::TemporaryDirectory dir;
  {
    auto opened = ReportStore::open(dir.path() / "reports.db");
    ASSERT_TRUE(opened) << opened.message();
    ReportStore& store = **opened;
    ASSERT_TRUE(store.add({"spam", "ham", " 回复TD退订.\n立即领取\t红包 ", "12", std::nullopt, "1.0.0"}));
    ASSERT_TRUE(store.add({"ham", "spam", "好的，明天见。", std::nullopt, std::nullopt, std::nullopt}));
    ASSERT_TRUE(
        store.add({"spam", "spam", ".-\n", std::nullopt, std::nullopt, std::nullopt}));  // empty once normalised
  }
  auto result = testing::runProcess(QUELLREPORTD_PATH, {"export", "--db", (dir.path() / "reports.db").string()});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "spam\t回复TD退订立即领取 红包\nham\t好的，明天见。\n");
  EXPECT_NE(testing::runProcess(QUELLREPORTD_PATH, {"export"}).exitCode, 0);
}

TEST(ReportStore, SaysWhyAWriteFailed) {
  testing::TemporaryDirectory dir;
  auto opened = ReportStore::open(dir.path() / "reports.db");
  ASSERT_TRUE(opened) << opened.message();
  ReportStore& store = **opened;
  ASSERT_TRUE(store.add({"spam", "ham", "x", std::nullopt, std::nullopt, std::nullopt}));
  {
    testing::StoreWriteLock other(dir.path() / "reports.db");
    auto busy = store.add({"spam", "ham", "x", std::nullopt, std::nullopt, std::nullopt});
    ASSERT_FALSE(busy);
    EXPECT_EQ(busy.code(), StoreError::kBusy);
  }
  EXPECT_EQ(store.count(), 1);
  auto notADatabase = ReportStore::open(dir.path());
  ASSERT_FALSE(notADatabase);
  EXPECT_EQ(notADatabase.code(), StoreError::kCannotOpen);
}

// A listening address the server cannot use is refused before anything is opened or created.
TEST(ReportServe, RefusesABadListeningAddress) {
  testing::TemporaryDirectory dir;
  auto db = (dir.path() / "reports.db").string();
  for (const char* listen : {"127.0.0.1", "127.0.0.1:8443abc", "127.0.0.1:99999999999", "127.0.0.1:0", "[::1]:"}) {
    auto result = testing::runProcess(QUELLREPORTD_PATH,
                                      {"serve", "--listen", listen, "--cert", "c.pem", "--key", "k.pem", "--db", db});
    EXPECT_EQ(result.exitCode, 2) << listen;  // a usage error
    EXPECT_NE(result.err.find("--listen"), std::string::npos) << result.err;
  }
  EXPECT_FALSE(std::filesystem::exists(db));
}

}  // namespace
}  // namespace quell
