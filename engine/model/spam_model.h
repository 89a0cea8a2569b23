// The last stage of the verdict, for messages that no rule list decided: the model's judgement of the body.
#pragma once

#include <optional>
#include <string_view>

#include "engine/model/qb_model_210713.h"

namespace quell {

// Reads a model label as a Boolean: after trimming Unicode white space and line breaks from both ends and
// lowercasing, "true" and "spam" are true, "false" and "ham" are false, anything else (the empty label
// included) is nullopt. The program's only parser of model labels.
std::optional<bool> labelBool(std::string_view label);

// True when the model judges the (already normalised) body to be spam. Builds the bag of words, loads the
// model afresh, predicts and parses the label. Never fails: a missing or unloadable model, a failed
// prediction and a label that is not true/spam all answer not spam.
bool isSpamByModel(std::string_view body);

// The same judgement with a model the caller already loaded (for batch evaluation), and optionally another
// vocabulary than the shipped one (for a model that was just trained).
bool isSpamByModel(std::string_view body, const QBModel210713& model,
                   const FeatureVocabulary& vocabulary = FeatureVocabulary::shipped());

}  // namespace quell
