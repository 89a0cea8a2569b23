#include "extension/quellguard.h"

#include "engine/decision_description.h"
#include "platform/network_deferral.h"
#include "platform/system_log.h"

namespace quell {

namespace {

FilterVerdict verdictOf(const FilterDecision& decision) {
  return decision.action == FilterAction::kJunk ? FilterVerdict::Junk : FilterVerdict::None;
}

QueryExplanation explanationOf(const FilterDecision& decision) {
  return {decisionMembers(decision), describeDecision(decision), verdictOf(decision)};
}

}  // namespace

FilterVerdict Quellguard::offlineVerdict(const ILMessageFilterQueryRequest& request) const {
  // The verdict alone needs no top words.
  return verdictOf(decideMessage(request.sender, request.messageBody, kFilterStages, {nullptr, nullptr, 0}));
}

FilterDecision Quellguard::offlineDecision(const ILMessageFilterQueryRequest& request) const {
  return decideMessage(request.sender, request.messageBody, kFilterStages);
}

void Quellguard::answer(FilterVerdict verdict, ILMessageFilterExtensionContext& context,
                        ILMessageFilterQueryCompletion completion) const {
  if (verdict != FilterVerdict::None) {
    completion(ILMessageFilterQueryResponse{verdict});
    return;
  }
  // The service's answer is never examined: a message that is not junk offline is none in every case.
  context.deferQueryRequestToNetworkWithCompletion(
      [completion = std::move(completion)](std::optional<ILNetworkResponse> response, std::optional<NSError> error) {
        // With no service configured there is nothing to report per message: the host said so once.
        const bool noService = error && error->domain == kNetworkErrorDomain &&
                               error->code == static_cast<int>(DeferralErrorCode::kNoService);
        if (!response && !noService) NSLog(kDeferralFailurePrefix + describeError(error));
        completion(ILMessageFilterQueryResponse{ILMessageFilterAction::None});
      });
}

void Quellguard::handleQueryRequest(const ILMessageFilterQueryRequest& request,
                                    ILMessageFilterExtensionContext& context,
                                    ILMessageFilterQueryCompletion completion) {
  answer(offlineVerdict(request), context, std::move(completion));
}

void Quellguard::handleExplainedQueryRequest(const ILMessageFilterQueryRequest& request,
                                             ILMessageFilterExtensionContext& context,
                                             ILMessageFilterQueryCompletion completion,
                                             std::function<void(QueryExplanation)> explained) {
  // One decision serves both, so the reasons are those of the answer given.
  const FilterDecision decision = offlineDecision(request);
  explained(explanationOf(decision));
  answer(verdictOf(decision), context, std::move(completion));
}

QueryExplanation Quellguard::explainQuery(const ILMessageFilterQueryRequest& request) const {
  return explanationOf(offlineDecision(request));
}

}  // namespace quell
