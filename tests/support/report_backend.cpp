#include "tests/support/report_backend.h"

#include <stdexcept>

namespace quell::testing {

ReportBackend::ReportBackend() {
  std::string error;
  store_ = ReportStore::open(dir_.path() / "reports.db", &error);
  if (!store_) throw std::runtime_error(error);
  ReportServerOptions options;
  options.readTimeoutSeconds = 1;
  server_.server().set_keep_alive_timeout(1);  // so that stopping does not wait on an idle client
  configureReportServer(server_.server(), *store_, options);
  server_.start();
}

}  // namespace quell::testing
