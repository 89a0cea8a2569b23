#include "engine/filter_decision.h"

#include <tuple>

#include "engine/message_normalization.h"
#include "engine/rule_matching.h"

namespace quell {

const char* filterStageName(FilterStage stage) {
  switch (stage) {
    case FilterStage::kNoSender: return "no-sender";
    case FilterStage::kNoBody: return "no-body";
    case FilterStage::kNumberWhitelist: return "number-whitelist";
    case FilterStage::kNumberBlacklist: return "number-blacklist";
    case FilterStage::kKeywordWhitelist: return "keyword-whitelist";
    case FilterStage::kKeywordBlacklist: return "keyword-blacklist";
    case FilterStage::kModel: return "model";
  }
  return "model";
}

FilterDecision decideMessage(const std::optional<std::string>& sender, const std::optional<std::string>& body,
                             FilterStageSet stages, const ModelChoice& choice) {
  FilterDecision decision;
  decision.stages = stages;
  const bool numbers = stages.contains(FilterStage::kNumberWhitelist) || stages.contains(FilterStage::kNumberBlacklist);
  if (numbers && !sender) {
    decision.stage = FilterStage::kNoSender;
    return decision;
  }
  if (!body) {
    decision.stage = FilterStage::kNoBody;
    return decision;
  }
  // Each list is read when its stage comes, so a list after the deciding one is never read.
  auto decided = [&decision](FilterStage stage, FilterAction action, std::vector<std::string> matched) {
    decision.stage = stage;
    decision.action = action;
    decision.matched = std::move(matched);
    return decision;
  };
  if (numbers) {
    // The sender is prepared for comparison once, whatever the sizes of the lists.
    const CanonicalText canonicalSender(*sender);
    for (auto [stage, kind, action] :
         {std::tuple{FilterStage::kNumberWhitelist, RuleListKind::NumberWhitelist, FilterAction::kNone},
          std::tuple{FilterStage::kNumberBlacklist, RuleListKind::NumberBlacklist, FilterAction::kJunk}}) {
      if (!stages.contains(stage)) continue;
      auto matched = matchNumberList(canonicalSender, loadRuleList(kind));
      if (!matched.empty()) return decided(stage, action, std::move(matched));
    }
  }
  const std::string normalized = normalizeMessageBody(*body);
  const CanonicalText searched(normalized);
  for (auto [stage, kind, action] :
       {std::tuple{FilterStage::kKeywordWhitelist, RuleListKind::KeywordWhitelist, FilterAction::kNone},
        std::tuple{FilterStage::kKeywordBlacklist, RuleListKind::KeywordBlacklist, FilterAction::kJunk}}) {
    if (!stages.contains(stage)) continue;
    auto match = matchKeywordList(searched, loadRuleList(kind));
    if (match.matched) return decided(stage, action, std::move(match.entries));
  }
  decision.stage = FilterStage::kModel;
  if (!stages.contains(FilterStage::kModel)) {
    // Nothing decided and the model was not to be asked: nothing says junk.
    decision.model.emplace();
    decision.model->failure = "the model was not to be asked";
    return decision;
  }
  decision.model = judgeByModel(normalized, choice);
  decision.action = decision.model->spam ? FilterAction::kJunk : FilterAction::kNone;
  return decision;
}

}  // namespace quell
