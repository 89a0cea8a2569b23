#include "tools/quellreportd/report_server.h"

#include <cctype>
#include <cstdio>

#include <nlohmann/json.hpp>

namespace quell {

namespace {

void answer(httplib::Response& res, int status, const nlohmann::json& body) {
  res.status = status;
  res.set_content(body.dump(), "application/json");
}

void fail(httplib::Response& res, int status, const std::string& error) {
  answer(res, status, {{"code", status}, {"error", error}});
}

// "application/json" in any case, with or without parameters ("Application/JSON; charset=utf-8").
bool isJson(const std::string& contentType) {
  std::string type = contentType.substr(0, contentType.find(';'));
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!type.empty() && blank(type.back())) type.pop_back();
  std::size_t start = 0;
  while (start < type.size() && blank(type[start])) ++start;
  type.erase(0, start);
  for (char& c : type) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return type == "application/json";
}

}  // namespace

void configureReportServer(httplib::Server& server, ReportStore& store, const ReportServerOptions& options) {
  server.set_payload_max_length(kMaxReportBytes);
  // One thread per connection, so that clients that connect and then say nothing (or stall in the TLS
  // handshake) hold only their own thread until the read timeout cuts them off, never the reports of
  // others.
  const std::size_t threads = options.threads;
  server.new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
  server.set_tcp_nodelay(true);  // small answers go out at once instead of waiting on the peer's ACK
  server.set_read_timeout(options.readTimeoutSeconds, 0);
  server.set_write_timeout(options.readTimeoutSeconds, 0);
  server.Post("/classes/spam", [&store, options](const httplib::Request& req, httplib::Response& res) {
    if (req.get_header_value("X-Bmob-Application-Id") != options.applicationId ||
        req.get_header_value("X-Bmob-REST-API-Key") != options.restKey)
      return fail(res, 401, "unauthorized");
    if (!isJson(req.get_header_value("Content-Type")))
      return fail(res, 415, "the content type must be application/json");
    std::string error;
    auto report = parseSpamReport(req.body, &error);
    if (!report) return fail(res, 400, error);
    auto stored = store.add(*report);
    if (!stored) {
      std::fprintf(stderr, "quellreportd: a report was not stored (%s): %s\n", storeErrorName(stored.code()),
                   stored.message().c_str());
      return fail(res, stored.code() == StoreError::kBusy ? 503 : 500, "the report could not be stored");
    }
    answer(res, 201, {{"objectId", stored->objectId}, {"createdAt", stored->createdAt}});
  });
  // A body over the limit never reaches the handler; say why instead of answering with an empty page.
  server.set_error_handler([](const httplib::Request&, httplib::Response& res) {
    if (res.status == 413)
      fail(res, 413, "the body is larger than " + std::to_string(kMaxReportBytes) + " bytes");
    else if (res.body.empty())
      fail(res, res.status, "not found");
  });
}

}  // namespace quell
