#include "platform/network_deferral.h"

#include <gtest/gtest.h>

#include <future>
#include <nlohmann/json.hpp>
#include <thread>

#include "tests/support/https_test_server.h"

namespace quell {
namespace {

// Runs one query through a real NetworkDeferral and waits for its single answer.
struct Deferred {
  std::optional<ILNetworkResponse> response;
  std::optional<NSError> error;
};

Deferred deferOnce(NetworkServiceConfiguration config, ILMessageFilterQueryRequest request) {
  std::promise<Deferred> done;
  {
    NetworkDeferral deferral(std::move(config));
    NetworkDeferralContext context(deferral, std::move(request));
    context.deferQueryRequestToNetworkWithCompletion([&](std::optional<ILNetworkResponse> r, std::optional<NSError> e) {
      done.set_value({r, e});
    });
  }
  return done.get_future().get();
}

TEST(NetworkDeferral, PostsTheQueryAsJsonOverHttps) {
  testing::HttpsTestServer server;
  std::promise<nlohmann::json> received;
  server.server().Post("/filter", [&](const httplib::Request& req, httplib::Response& res) {
    received.set_value(nlohmann::json::parse(req.body));
    res.status = 200;
    res.set_content("{}", "application/json");
  });
  server.start();
  auto result = deferOnce({server.url("/filter"), server.certificate()}, {"10086", std::nullopt});
  ASSERT_TRUE(result.response);
  EXPECT_FALSE(result.error);
  EXPECT_EQ(result.response->statusCode, 200);
  EXPECT_EQ(received.get_future().get(), (nlohmann::json{{"sender", "10086"}, {"messageBody", nullptr}}));
}

TEST(NetworkDeferral, ReportsErrorsInsteadOfResponses) {
  auto none = deferOnce({"", std::nullopt}, {"1", "x"});
  EXPECT_FALSE(none.response);
  ASSERT_TRUE(none.error);
  EXPECT_NE(none.error->localizedDescription.find("no network service"), std::string::npos);
  auto code = [](const std::optional<NSError>& error) { return error ? error->code : -1; };
  EXPECT_EQ(code(none.error), static_cast<int>(DeferralErrorCode::kNoService));

  auto badUrl = deferOnce({"http://127.0.0.1:1/x", std::nullopt}, {"1", "x"});
  EXPECT_FALSE(badUrl.response);
  EXPECT_EQ(code(badUrl.error), static_cast<int>(DeferralErrorCode::kInvalidURL));

  // A server whose certificate is not trusted is a failure, not a response.
  testing::HttpsTestServer untrusted;
  untrusted.server().Post("/filter", [](const httplib::Request&, httplib::Response& res) { res.status = 200; });
  untrusted.start();
  auto tls = deferOnce({untrusted.url("/filter"), std::nullopt}, {"1", "x"});
  EXPECT_FALSE(tls.response);
  EXPECT_EQ(code(tls.error), static_cast<int>(DeferralErrorCode::kRequestFailed));

  // A service that does not answer in time.
  testing::HttpsTestServer slow;
  slow.server().Post("/filter", [](const httplib::Request&, httplib::Response& res) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    res.status = 200;
  });
  slow.start();
  auto late = deferOnce({slow.url("/filter"), slow.certificate(), std::chrono::milliseconds(300)}, {"1", "x"});
  EXPECT_FALSE(late.response);
  EXPECT_EQ(code(late.error), static_cast<int>(DeferralErrorCode::kRequestFailed));
}

}  // namespace
}  // namespace quell
