// FilterDecision and decideMessage: the verdict on one message and the reasons for it, reached in the
// filter's fixed order where the first stage that decides wins:
//
//   no sender given -> none; no body given -> none;
//   number whitelist (the sender) -> none; number blacklist -> junk;
//   keyword whitelist (the normalised body) -> none; keyword blacklist -> junk;
//   otherwise the model (a model that cannot answer answers none).
//
// The caller chooses which stages run: the filter runs them all, the app's message test only the keyword
// lists and the model (and then needs no sender). Every list is read from the rule store afresh for each
// decision, and the shipped model is loaded afresh unless the caller hands one over, so a change made in
// the app applies to the next message.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/model/spam_model.h"

namespace quell {

enum class FilterAction { kNone, kJunk };

// The stages in the order in which they are tried.
enum class FilterStage : std::uint8_t {
  kNoSender,  // no sender was given
  kNoBody,    // no body was given
  kNumberWhitelist,
  kNumberBlacklist,
  kKeywordWhitelist,
  kKeywordBlacklist,
  kModel,
};

// "no-sender", "no-body", "number-whitelist", "number-blacklist", "keyword-whitelist", "keyword-blacklist"
// or "model".
const char* filterStageName(FilterStage stage);

// A set of the five deciding stages (the four lists and the model).
class FilterStageSet {
 public:
  constexpr FilterStageSet(std::initializer_list<FilterStage> stages) {
    for (FilterStage stage : stages) bits_ |= bit(stage);
  }
  constexpr bool contains(FilterStage stage) const { return (bits_ & bit(stage)) != 0; }

 private:
  static constexpr unsigned bit(FilterStage stage) { return 1u << static_cast<unsigned>(stage); }
  unsigned bits_ = 0;
};

// What the filter runs, and what the app's message test runs.
inline constexpr FilterStageSet kFilterStages = {FilterStage::kNumberWhitelist, FilterStage::kNumberBlacklist,
                                                 FilterStage::kKeywordWhitelist, FilterStage::kKeywordBlacklist,
                                                 FilterStage::kModel};
inline constexpr FilterStageSet kMessageTestStages = {FilterStage::kKeywordWhitelist, FilterStage::kKeywordBlacklist,
                                                      FilterStage::kModel};

struct FilterDecision {
  FilterAction action = FilterAction::kNone;
  FilterStage stage = FilterStage::kNoSender;  // the stage that decided
  FilterStageSet stages = kFilterStages;       // the stages that were to run; those before `stage` did not decide
  // For a list stage, the entries of that list that matched, in list order (the sender's entry for a
  // number list, every entry that occurs for a keyword list).
  std::vector<std::string> matched;
  // For the model stage, its judgement: score, threshold, top words, or why it could not be asked.
  std::optional<ModelJudgement> model;
};

// Decides on a message. The body is normalised here (normalizeMessageBody); a body that is already
// normalised is unchanged by that. choice picks the model and vocabulary and how many words to report.
FilterDecision decideMessage(const std::optional<std::string>& sender, const std::optional<std::string>& body,
                             FilterStageSet stages = kFilterStages, const ModelChoice& choice = {});

}  // namespace quell
