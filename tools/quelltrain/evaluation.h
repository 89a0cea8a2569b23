// Judging a labeled file as the filter judges: every message goes through decideMessage (the model stage
// alone, since the user's lists are no part of the model's quality), so the figures are the filter's.
#pragma once

#include <cstdio>
#include <vector>

#include "engine/filter_decision.h"
#include "tools/quelltrain/labeled_corpus.h"
#include "tools/quelltrain/spam_metrics.h"

namespace quell {

struct EvaluationOptions {
  const QBModel210713* model = nullptr;           // as ModelChoice: nullptr is the shipped model
  const FeatureVocabulary* vocabulary = nullptr;  // nullptr is the shipped vocabulary
  std::FILE* labeledErrors = nullptr;    // each misjudged message in the file's own form (label, text, category)
  std::FILE* explainedErrors = nullptr;  // each misjudged message as a JSON line with its score and top words
  // Every message's "label<TAB>category<TAB>score minus threshold", in file order: how far each one is from
  // being called spam, for weighing a boundary moved towards ham against the spam it lets through.
  std::FILE* scores = nullptr;
};

// Judges every message and counts the outcomes, per category too. A JSON line of explainedErrors holds "label" (the
// file's), "category" (when it has one), "text", then the decision's members ("stage", "matched", "score", "threshold",
// "bias", "words").
SpamMetrics evaluateMessages(const std::vector<LabeledMessage>& messages, const EvaluationOptions& options);

}  // namespace quell
