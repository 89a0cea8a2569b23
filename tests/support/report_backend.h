// A real report backend for tests: quellreportd's routes on an HTTPS server on 127.0.0.1 with a fresh
// self-signed certificate and its own database.
#pragma once

#include <memory>

#include "tests/support/https_test_server.h"
#include "tools/quellreportd/report_server.h"

namespace quell::testing {

class ReportBackend {
 public:
  // readTimeoutSeconds: how long a connection that sends nothing is kept.
  explicit ReportBackend(int readTimeoutSeconds = 1);
  HttpsTestServer& server() { return server_; }
  ReportStore& store() { return *store_; }
  std::string baseUrl() const { return "https://127.0.0.1:" + std::to_string(server_.port()); }

 private:
  TemporaryDirectory dir_;
  std::unique_ptr<ReportStore> store_;
  HttpsTestServer server_;
};

}  // namespace quell::testing
