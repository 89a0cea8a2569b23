// NetworkDeferral: forwards deferred filter queries to the extension's network service.
//
// Each deferred query is POSTed as JSON {"sender": ..., "messageBody": ...} (absent members as null) to the
// configured HTTPS URL. Requests run on a small pool of worker threads, so the thread that answers queries
// never waits on the network; each completion is called exactly once, on a worker thread, with the HTTP
// response (any status) or with an error (bad URL, connection or TLS failure, timeout).
//
// With no URL configured, the completion is called at once, on the caller's thread, with no response and an
// error saying that no network service is configured.
//
// At most maxPending queries are held at once (waiting or being sent): defer() blocks its caller until a
// place is free, so a service that accepts connections and never answers slows the reader of queries down
// instead of letting them pile up in memory. Every query handed over still gets its completion.
//
// The destructor waits for every request already handed over to finish and its completion to return.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/message_filter.h"

namespace quell {

struct NetworkServiceConfiguration {
  std::string url;                              // "https://host[:port][/path]"; empty: no service
  std::optional<std::filesystem::path> caFile;  // trust these certificates instead of the system's
  std::chrono::milliseconds timeout{10000};
};

inline constexpr const char* kNetworkErrorDomain = "ILMessageFilterErrorDomain";

// Why a deferred query got no response: the codes of the NSErrors of domain kNetworkErrorDomain that its
// completion receives.
enum class DeferralErrorCode : int {
  kOk = 0,             // success
  kNoService = 1,      // no network service is configured
  kInvalidURL = 2,     // the configured URL is not an https URL
  kRequestFailed = 3,  // connection, TLS or timeout: no HTTP response came back
};

class NetworkDeferral {
 public:
  explicit NetworkDeferral(NetworkServiceConfiguration config, int workers = 4, std::size_t maxPending = 8);
  ~NetworkDeferral();
  NetworkDeferral(const NetworkDeferral&) = delete;
  NetworkDeferral& operator=(const NetworkDeferral&) = delete;

  void defer(const ILMessageFilterQueryRequest& request, ILNetworkCompletion completion);

 private:
  struct Job {
    ILMessageFilterQueryRequest request;
    ILNetworkCompletion completion;
  };

  void work();
  void send(const Job& job);

  const NetworkServiceConfiguration config_;
  const std::size_t maxPending_;
  std::mutex mu_;
  std::condition_variable ready_;  // a job was queued, or stopping_ was set
  std::condition_variable room_;   // pending_ fell
  std::deque<Job> queue_;
  std::size_t pending_ = 0;  // jobs queued or being sent
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

// The context handed to the principal class for one query: deferral goes through the shared NetworkDeferral.
class NetworkDeferralContext : public ILMessageFilterExtensionContext {
 public:
  NetworkDeferralContext(NetworkDeferral& deferral, ILMessageFilterQueryRequest request)
      : deferral_(deferral), request_(std::move(request)) {}

  void deferQueryRequestToNetworkWithCompletion(ILNetworkCompletion completion) override {
    deferral_.defer(request_, std::move(completion));
  }

 private:
  NetworkDeferral& deferral_;
  const ILMessageFilterQueryRequest request_;
};

}  // namespace quell
