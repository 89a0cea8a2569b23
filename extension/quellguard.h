// Quellguard: the filter extension's principal class.
//
// For each incoming message it reaches a verdict offline (decideMessage with every stage: the number lists,
// the keyword lists on the normalised body, then the model). Junk is answered at once; everything else is
// deferred to the network service and then answered none, whatever the service says. It keeps no state
// between queries and may be called from any thread. Asked for reasons (QueryExplaining), it answers the
// same and adds the decision's stage, matched entries and the model's score and top words.
#pragma once

#include "engine/filter_decision.h"
#include "extension/query_explaining.h"
#include "platform/message_filter.h"

namespace quell {

// The offline answer for one message: only None and Junk are ever produced.
using FilterVerdict = ILMessageFilterAction;

class Quellguard : public ILMessageFilterExtension, public ILMessageFilterQueryHandling, public QueryExplaining {
 public:
  static constexpr const char* kDeferralFailurePrefix = "Error deferring query request to network: ";

  FilterVerdict offlineVerdict(const ILMessageFilterQueryRequest& request) const;
  // The offline decision with its reasons (the model's top words included).
  FilterDecision offlineDecision(const ILMessageFilterQueryRequest& request) const;

  void handleQueryRequest(const ILMessageFilterQueryRequest& request, ILMessageFilterExtensionContext& context,
                          ILMessageFilterQueryCompletion completion) override;
  void handleExplainedQueryRequest(const ILMessageFilterQueryRequest& request, ILMessageFilterExtensionContext& context,
                                   ILMessageFilterQueryCompletion completion,
                                   std::function<void(QueryExplanation)> explained) override;
  QueryExplanation explainQuery(const ILMessageFilterQueryRequest& request) const override;

 private:
  void answer(FilterVerdict verdict, ILMessageFilterExtensionContext& context,
              ILMessageFilterQueryCompletion completion) const;
};

}  // namespace quell
