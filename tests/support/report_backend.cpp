#include "tests/support/report_backend.h"

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

}  // namespace quell::testing
