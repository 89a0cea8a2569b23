#include "tools/quelltrain/evaluation.h"

#include <chrono>

#include "engine/decision_description.h"

namespace quell {

namespace {

void writeExplainedError(std::FILE* out, const LabeledMessage& message, const FilterDecision& decision) {
  nlohmann::ordered_json line;
  line["label"] = message.spam ? "spam" : "ham";
  if (!message.category.empty()) line["category"] = message.category;
  line["text"] = message.text;
  line.update(decisionMembers(decision));
  std::string text = line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
  text += '\n';
  std::fwrite(text.data(), 1, text.size(), out);
}

}  // namespace

SpamMetrics evaluateMessages(const std::vector<LabeledMessage>& messages, const EvaluationOptions& options) {
  // Top words are worth their cost only when someone reads them.
  ModelChoice choice{options.model, options.vocabulary, options.explainedErrors ? std::size_t{5} : 0};
  SpamMetrics metrics;
  std::vector<std::pair<const LabeledMessage*, FilterDecision>> errors;
  const auto start = std::chrono::steady_clock::now();
  for (const auto& message : messages) {
    FilterDecision decision = decideMessage(std::nullopt, message.text, {FilterStage::kModel}, choice);
    const bool spam = decision.action == FilterAction::kJunk;
    metrics.add(message.spam, spam, message.category);
    if (options.scores)
      std::fprintf(options.scores, "%s\t%s\t%.9g\n", message.spam ? "spam" : "ham", message.category.c_str(),
                   decision.model ? decision.model->score - decision.model->threshold : 0.0);
    if (spam != message.spam) errors.emplace_back(&message, std::move(decision));
  }
  metrics.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  for (const auto& [message, decision] : errors) {
    if (options.labeledErrors)
      std::fprintf(options.labeledErrors, "%s\t%s%s%s\n", message->spam ? "spam" : "ham", message->text.c_str(),
                   message->category.empty() ? "" : "\t", message->category.c_str());
    if (options.explainedErrors) writeExplainedError(options.explainedErrors, *message, decision);
  }
  return metrics;
}

}  // namespace quell
