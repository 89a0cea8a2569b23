// A real HTTPS server on 127.0.0.1 for tests, with a freshly made self-signed certificate.
#pragma once

#include <httplib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "tests/support/test_environment.h"

namespace quell::testing {

class HttpsTestServer {
 public:
  // Routes are added to server() before start().
  HttpsTestServer();
  ~HttpsTestServer();

  httplib::SSLServer& server() { return *server_; }
  void start();
  int port() const { return port_; }
  std::string url(const std::string& path) const;
  std::filesystem::path certificate() const { return dir_.path() / "cert.pem"; }

 private:
  TemporaryDirectory dir_;
  std::unique_ptr<httplib::SSLServer> server_;
  std::thread thread_;
  int port_ = 0;
};

}  // namespace quell::testing
