// How a FilterDecision is shown: as lines for a person, and as JSON members for a program.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "engine/filter_decision.h"

namespace quell {

// "none" or "junk".
const char* filterActionName(FilterAction action);

// The members that explain a decision, in this order:
//   "stage":     filterStageName of the deciding stage
//   "matched":   the matched entries of the deciding list, in list order ([] for the model and no-* stages)
// and for the model stage, when the model answered:
//   "score", "threshold": the decision value (spam above the threshold) and the threshold
//   "words":     [{"word": ..., "count": <whole number>, "weight": <signed contribution>}, ...]
// or, when it could not be asked:
//   "modelError": why, and the action is none.
nlohmann::ordered_json decisionMembers(const FilterDecision& decision);

// Every stage that was tried, in order, with its outcome, then the action; one line each:
//   number-whitelist   no match
//   number-blacklist   matched "10690000"
//   action             junk
// A model line gives the score against the threshold and is followed by one line per top word.
std::string describeDecision(const FilterDecision& decision);

}  // namespace quell
