#include "tests/support/https_test_server.h"

#include <stdexcept>

#include "tools/tlscert/self_signed_certificate.h"

namespace quell::testing {

HttpsTestServer::HttpsTestServer() {
  std::string error;
  if (!writeSelfSignedCertificate(dir_.path(), 1, &error)) throw std::runtime_error(error);
  server_ = std::make_unique<httplib::SSLServer>(certificate().c_str(), (dir_.path() / "key.pem").c_str());
  if (!server_->is_valid()) throw std::runtime_error("the test server could not load its certificate");
}

HttpsTestServer::~HttpsTestServer() {
  server_->stop();
  if (thread_.joinable()) thread_.join();
}

void HttpsTestServer::start() {
  port_ = server_->bind_to_any_port("127.0.0.1");
  if (port_ <= 0) throw std::runtime_error("the test server could not bind");
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

std::string HttpsTestServer::url(const std::string& path) const {
  return "https://127.0.0.1:" + std::to_string(port_) + path;
}

}  // namespace quell::testing
