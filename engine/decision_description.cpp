#include "engine/decision_description.h"

#include <cmath>
#include <cstdio>

namespace quell {

namespace {

using OrderedJson = nlohmann::ordered_json;

// Counts are whole numbers; written as JSON integers they read as counts.
OrderedJson countJson(double count) {
  if (count >= 0 && count < 9.0e15 && count == std::floor(count)) return static_cast<std::int64_t>(count);
  return count;
}

std::string quoted(const std::string& text) {
  return OrderedJson(text).dump(-1, ' ', false, OrderedJson::error_handler_t::replace);
}

std::string number(const char* format, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

void addLine(std::string* out, const char* stage, const std::string& outcome) {
  char label[24];
  std::snprintf(label, sizeof label, "%-19s", stage);
  *out += label;
  *out += outcome;
  *out += '\n';
}

std::string matchedList(const std::vector<std::string>& entries) {
  std::string list = "matched";
  for (const auto& entry : entries) {
    list += ' ';
    list += quoted(entry);
  }
  return list;
}

}  // namespace

const char* filterActionName(FilterAction action) { return action == FilterAction::kJunk ? "junk" : "none"; }

OrderedJson decisionMembers(const FilterDecision& decision) {
  OrderedJson members;
  members["stage"] = filterStageName(decision.stage);
  members["matched"] = OrderedJson::array();
  for (const auto& entry : decision.matched) members["matched"].push_back(entry);
  if (decision.model) {
    const ModelJudgement& model = *decision.model;
    if (model.outcome == ModelJudgement::Outcome::kJudged) {
      members["score"] = model.score;
      members["threshold"] = model.threshold;
      members["bias"] = model.bias;
      members["words"] = OrderedJson::array();
      for (const auto& word : model.words)
        members["words"].push_back({{"word", word.word}, {"count", countJson(word.count)}, {"weight", word.weight}});
    } else {
      members["modelError"] = model.failure;
    }
  }
  return members;
}

std::string describeDecision(const FilterDecision& decision) {
  std::string out;
  if (decision.stage == FilterStage::kNoSender) {
    addLine(&out, "no-sender", "no sender was given: nothing is tested");
  } else if (decision.stage == FilterStage::kNoBody) {
    addLine(&out, "no-body", "no body was given: nothing is tested");
  } else {
    for (FilterStage stage : {FilterStage::kNumberWhitelist, FilterStage::kNumberBlacklist,
                              FilterStage::kKeywordWhitelist, FilterStage::kKeywordBlacklist}) {
      if (!decision.stages.contains(stage)) continue;
      if (stage == decision.stage) {
        addLine(&out, filterStageName(stage), matchedList(decision.matched));
        break;
      }
      addLine(&out, filterStageName(stage), "no match");
    }
    if (decision.stage == FilterStage::kModel && decision.model) {
      const ModelJudgement& model = *decision.model;
      if (model.outcome == ModelJudgement::Outcome::kJudged) {
        addLine(&out, "model",
                "score " + number("%.4f", model.score) +
                    (model.score > model.threshold ? ", above the threshold " : ", not above the threshold ") +
                    number("%g", model.threshold) + (model.spam ? ": spam" : ": not spam") + " (bias " +
                    number("%+.4f", model.bias) + ", then the words)");
        for (const auto& word : model.words)
          addLine(&out, "", number("%+.4f", word.weight) + "  " + quoted(word.word) + " x" + number("%g", word.count));
      } else {
        addLine(&out, "model", "could not be asked (" + model.failure + "): not spam");
      }
    }
  }
  addLine(&out, "action", filterActionName(decision.action));
  return out;
}

}  // namespace quell
