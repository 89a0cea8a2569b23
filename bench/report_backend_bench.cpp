// The report backend under load: 50 clients on loopback, each posting 200 reports over its own keep-alive
// HTTPS connection, every report stored durably before it is answered; and one report (a fresh connection,
// handshake included) posted while 100 other connections sit idle.
#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>

#include <nlohmann/json.hpp>

#include "tests/support/report_backend.h"

namespace {

void BM_FiftyClientsPostingTwoHundredReportsEach(benchmark::State& state) {
  constexpr int kClients = 50, kReportsPerClient = 200;
  const std::string body = nlohmann::json{
      {"use_rating", "spam"},
      {"app_rating", "ham"},
      {"text", "【某某贷】无抵押信用贷款，最快当天放款"},
      {"os_version", "12"},
      {"device_uuid", "7A1C3E52-9B0D-5F41-8E2A-6C4B1D9F0E37"},
      {"app_version", "1.0.0"}}.dump();
  std::int64_t stored = 0, failed = 0;
  for (auto _ : state) {
    quell::testing::ReportBackend backend;
    std::atomic<int> failures = 0;
    std::vector<std::thread> clients;
    for (int c = 0; c < kClients; ++c) {
      clients.emplace_back([&] {
        httplib::SSLClient client("127.0.0.1", backend.server().port());
        client.set_ca_cert_path(backend.server().certificate().c_str());
        client.enable_server_certificate_verification(true);
        client.set_keep_alive(true);
        client.set_tcp_nodelay(true);
        httplib::Headers keys = {{"X-Bmob-Application-Id", quell::kDefaultApplicationId},
                                 {"X-Bmob-REST-API-Key", quell::kDefaultRestKey}};
        for (int i = 0; i < kReportsPerClient; ++i) {
          auto res = client.Post("/classes/spam", keys, body, "application/json");
          if (!res || res->status != 201) ++failures;
        }
      });
    }
    for (auto& t : clients) t.join();
    stored += backend.store().count();
    failed += failures;
  }
  state.SetItemsProcessed(state.iterations() * kClients * kReportsPerClient);
  state.counters["stored"] = benchmark::Counter(static_cast<double>(stored), benchmark::Counter::kAvgIterations);
  state.counters["failed"] = benchmark::Counter(static_cast<double>(failed), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FiftyClientsPostingTwoHundredReportsEach)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_AReportBesideAHundredIdleConnections(benchmark::State& state) {
  quell::testing::ReportBackend backend(30);  // an idle connection is kept for 30 s
  quell::testing::IdleConnections idle(backend.server().port(), 100);
  if (idle.empty()) abort();
  const std::string body = nlohmann::json{{"use_rating", "spam"}, {"app_rating", "ham"}, {"text", "回复TD退订"}}.dump();
  httplib::Headers keys = {{"X-Bmob-Application-Id", quell::kDefaultApplicationId},
                           {"X-Bmob-REST-API-Key", quell::kDefaultRestKey}};
  std::int64_t failed = 0;
  for (auto _ : state) {
    httplib::SSLClient client("127.0.0.1", backend.server().port());
    client.set_ca_cert_path(backend.server().certificate().c_str());
    client.enable_server_certificate_verification(true);
    client.set_read_timeout(10, 0);
    auto res = client.Post("/classes/spam", keys, body, "application/json");
    if (!res || res->status != 201) ++failed;
  }
  state.counters["failed"] = static_cast<double>(failed);
}
BENCHMARK(BM_AReportBesideAHundredIdleConnections)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();

}  // namespace
