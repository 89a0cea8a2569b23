#include "extension/quellguard.h"

#include "engine/message_normalization.h"
#include "engine/model/spam_model.h"
#include "engine/rule_matching.h"
#include "platform/system_log.h"

namespace quell {

FilterVerdict Quellguard::offlineVerdict(const ILMessageFilterQueryRequest& request) const {
  if (!request.sender) return FilterVerdict::None;
  if (!request.messageBody) return FilterVerdict::None;
  // The sender and the body are prepared for comparison once, whatever the sizes of the lists.
  const CanonicalText sender(*request.sender);
  if (matchesNumberList(sender, loadRuleList(RuleListKind::NumberWhitelist))) return FilterVerdict::None;
  if (matchesNumberList(sender, loadRuleList(RuleListKind::NumberBlacklist))) return FilterVerdict::Junk;
  const std::string body = normalizeMessageBody(*request.messageBody);
  const CanonicalText searched(body);
  if (matchKeywordList(searched, loadRuleList(RuleListKind::KeywordWhitelist)).matched) return FilterVerdict::None;
  if (matchKeywordList(searched, loadRuleList(RuleListKind::KeywordBlacklist)).matched) return FilterVerdict::Junk;
  return isSpamByModel(body) ? FilterVerdict::Junk : FilterVerdict::None;
}

void Quellguard::handleQueryRequest(const ILMessageFilterQueryRequest& request,
                                    ILMessageFilterExtensionContext& context,
                                    ILMessageFilterQueryCompletion completion) {
  FilterVerdict verdict = offlineVerdict(request);
  if (verdict != FilterVerdict::None) {
    completion(ILMessageFilterQueryResponse{verdict});
    return;
  }
  // The service's answer is never examined: a message that is not junk offline is none in every case.
  context.deferQueryRequestToNetworkWithCompletion(
      [completion = std::move(completion)](std::optional<ILNetworkResponse> response,
                                           std::optional<NSError> error) {
        if (!response) NSLog(kDeferralFailurePrefix + describeError(error));
        completion(ILMessageFilterQueryResponse{ILMessageFilterAction::None});
      });
}

}  // namespace quell
