// A real report backend for tests: quellreportd's routes on an HTTPS server on 127.0.0.1 with a fresh
// self-signed certificate and its own database.
#pragma once

#include <memory>
#include <vector>

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

// Connections to port on 127.0.0.1 that are opened and then say nothing, as idle or hostile clients hold
// them; closed with the object. empty() when a connection could not be made.
class IdleConnections {
 public:
  IdleConnections(int port, int count);
  ~IdleConnections();
  IdleConnections(const IdleConnections&) = delete;
  IdleConnections& operator=(const IdleConnections&) = delete;
  bool empty() const { return fds_.empty(); }

 private:
  std::vector<int> fds_;
};

}  // namespace quell::testing
