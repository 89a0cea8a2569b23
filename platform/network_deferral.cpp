#include "platform/network_deferral.h"

#include <httplib.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <regex>

namespace quell {

namespace {

struct ParsedUrl {
  std::string host;
  int port = 443;
  std::string path = "/";
};

std::optional<ParsedUrl> parseHttpsUrl(const std::string& url) {
  static const std::regex pattern(R"(^https://(\[[0-9A-Fa-f:.]+\]|[^/:?#\[\]@]+)(?::(\d{1,5}))?(/[^#]*)?$)");
  std::smatch m;
  if (!std::regex_match(url, m, pattern)) return std::nullopt;
  ParsedUrl parsed;
  parsed.host = m[1].str();
  if (parsed.host.front() == '[') parsed.host = parsed.host.substr(1, parsed.host.size() - 2);
  if (m[2].matched) {
    parsed.port = std::stoi(m[2].str());
    if (parsed.port < 1 || parsed.port > 65535) return std::nullopt;
  }
  if (m[3].matched) parsed.path = m[3].str();
  return parsed;
}

NSError networkError(DeferralErrorCode code, std::string message) {
  return nsErrorFromFailure(kNetworkErrorDomain, Failure<DeferralErrorCode>{code, std::move(message)});
}

nlohmann::json optionalString(const std::optional<std::string>& s) {
  return s ? nlohmann::json(*s) : nlohmann::json(nullptr);
}

}  // namespace

NetworkDeferral::NetworkDeferral(NetworkServiceConfiguration config, int workers, std::size_t maxPending)
    : config_(std::move(config)), maxPending_(std::max<std::size_t>(maxPending, 1)) {
  if (config_.url.empty()) return;  // nothing will ever be sent
  for (int i = 0; i < workers; ++i) workers_.emplace_back([this] { work(); });
}

NetworkDeferral::~NetworkDeferral() {
  {
    std::lock_guard lock(mu_);
    stopping_ = true;
  }
  ready_.notify_all();
  for (auto& t : workers_) t.join();
}

void NetworkDeferral::defer(const ILMessageFilterQueryRequest& request, ILNetworkCompletion completion) {
  if (config_.url.empty()) {
    completion(std::nullopt,
               networkError(DeferralErrorCode::kNoService, "no network service is configured for this extension"));
    return;
  }
  {
    std::unique_lock lock(mu_);
    room_.wait(lock, [this] { return pending_ < maxPending_; });
    ++pending_;
    queue_.push_back(Job{request, std::move(completion)});
  }
  ready_.notify_one();
}

void NetworkDeferral::work() {
  for (;;) {
    Job job;
    {
      std::unique_lock lock(mu_);
      ready_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (queue_.empty()) return;  // stopping, and everything handed over is done
      job = std::move(queue_.front());
      queue_.pop_front();
    }
    send(job);
    {
      std::lock_guard lock(mu_);
      --pending_;
    }
    room_.notify_one();
  }
}

void NetworkDeferral::send(const Job& job) {
  auto url = parseHttpsUrl(config_.url);
  if (!url) {
    job.completion(std::nullopt, networkError(DeferralErrorCode::kInvalidURL,
                                              "the network service URL is not a valid https URL: " + config_.url));
    return;
  }
  httplib::SSLClient client(url->host, url->port);
  client.enable_server_certificate_verification(true);
  if (config_.caFile) client.set_ca_cert_path(config_.caFile->c_str());
  auto seconds = std::chrono::duration_cast<std::chrono::seconds>(config_.timeout).count();
  auto micros = std::chrono::duration_cast<std::chrono::microseconds>(config_.timeout).count() % 1000000;
  client.set_connection_timeout(seconds, micros);
  client.set_read_timeout(seconds, micros);
  client.set_write_timeout(seconds, micros);

  nlohmann::json body = {{"sender", optionalString(job.request.sender)},
                         {"messageBody", optionalString(job.request.messageBody)}};
  auto result =
      client.Post(url->path, body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace), "application/json");
  if (!result) {
    job.completion(std::nullopt,
                   networkError(DeferralErrorCode::kRequestFailed,
                                "request to the network service failed: " + httplib::to_string(result.error())));
    return;
  }
  job.completion(ILNetworkResponse{result->status, result->body}, std::nullopt);
}

}  // namespace quell
