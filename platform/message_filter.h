// The SMS filtering framework as the filter extension sees it: the query the phone's SMS service asks about
// one incoming message, the answer, and the context through which a query can be deferred to the network
// service configured for the extension.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/ns_error.h"

namespace quell {

enum class ILMessageFilterAction : int {
  None = 0,
  Allow = 1,
  Junk = 2,
  Promotion = 3,
  Transaction = 4,
};

// "none", "allow", "junk", "promotion" or "transaction".
const char* actionName(ILMessageFilterAction action);

struct ILMessageFilterQueryRequest {
  std::optional<std::string> sender;
  std::optional<std::string> messageBody;
};

struct ILMessageFilterQueryResponse {
  ILMessageFilterAction action = ILMessageFilterAction::None;
};

// What the network service answered to a deferred query.
struct ILNetworkResponse {
  int statusCode = 0;
  std::string body;
};

using ILNetworkCompletion =
    std::function<void(std::optional<ILNetworkResponse> response, std::optional<NSError> error)>;

// The context of one query.
class ILMessageFilterExtensionContext {
 public:
  virtual ~ILMessageFilterExtensionContext() = default;

  // Sends the query to the extension's network service and calls completion exactly once, later and on
  // another thread, with the service's response or with an error (never both absent). With no service
  // configured the completion gets no response and an error that says so.
  virtual void deferQueryRequestToNetworkWithCompletion(ILNetworkCompletion completion) = 0;
};

using ILMessageFilterQueryCompletion = std::function<void(ILMessageFilterQueryResponse)>;

// Implemented by an extension's principal class: called once per query, on a thread of the platform's
// choosing. The handler must call completion exactly once, before it returns or later.
class ILMessageFilterQueryHandling {
 public:
  virtual ~ILMessageFilterQueryHandling() = default;
  virtual void handleQueryRequest(const ILMessageFilterQueryRequest& request, ILMessageFilterExtensionContext& context,
                                  ILMessageFilterQueryCompletion completion) = 0;
};

// The base of every message filter extension's principal class.
class ILMessageFilterExtension {
 public:
  virtual ~ILMessageFilterExtension() = default;
};

}  // namespace quell
