#include "tests/support/report_backend.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace quell::testing {

ReportBackend::ReportBackend(int readTimeoutSeconds) {
  auto store = ReportStore::open(dir_.path() / "reports.db");
  if (!store) throw std::runtime_error(store.message());
  store_ = std::move(*store);
  ReportServerOptions options;
  options.readTimeoutSeconds = readTimeoutSeconds;
  server_.server().set_keep_alive_timeout(1);  // so that stopping does not wait on an idle client
  configureReportServer(server_.server(), *store_, options);
  server_.start();
}

IdleConnections::IdleConnections(int port, int count) {
  for (int i = 0; i < count; ++i) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      if (fd >= 0) close(fd);
      for (int open : fds_) close(open);
      fds_.clear();
      return;
    }
    fds_.push_back(fd);
  }
}

IdleConnections::~IdleConnections() {
  for (int fd : fds_) close(fd);
}

}  // namespace quell::testing
