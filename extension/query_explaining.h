// QueryExplaining: what a principal class implements, beside ILMessageFilterQueryHandling, to say why it
// answers a query as it does. The SMS filtering framework has no such thing; it is our own, so that the
// query stream and the command line can ask for reasons.
#pragma once

#include <functional>
#include <string>

#include <nlohmann/json.hpp>

#include "platform/message_filter.h"

namespace quell {

struct QueryExplanation {
  nlohmann::ordered_json members = nlohmann::ordered_json::object();  // added to the query's answer line
  std::string text;                                                   // the same for a person, in lines
  ILMessageFilterAction offlineAction = ILMessageFilterAction::None;  // the answer before any deferral
};

class QueryExplaining {
 public:
  virtual ~QueryExplaining() = default;

  // Handles the query exactly as handleQueryRequest does, and hands the reasons for the answer to
  // explained before completion is called. Both are called exactly once.
  virtual void handleExplainedQueryRequest(const ILMessageFilterQueryRequest& request,
                                           ILMessageFilterExtensionContext& context,
                                           ILMessageFilterQueryCompletion completion,
                                           std::function<void(QueryExplanation)> explained) = 0;

  // The reasons for the offline answer alone: nothing is deferred to the network.
  virtual QueryExplanation explainQuery(const ILMessageFilterQueryRequest& request) const = 0;
};

}  // namespace quell
