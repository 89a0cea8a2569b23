#include "tools/quelltrain/spam_metrics.h"

#include <cstdio>
#include <optional>

#include <nlohmann/json.hpp>

namespace quell {

namespace {

double ratio(double a, double b) { return b > 0 ? a / b : 0.0; }

}  // namespace

void SpamMetrics::add(bool actualSpam, bool predictedSpam, const std::string& category) {
  if (actualSpam)
    ++(predictedSpam ? truePositives : falseNegatives);
  else
    ++(predictedSpam ? falsePositives : trueNegatives);
  if (category.empty()) return;
  auto& figures = categories[{actualSpam, category}];
  ++figures.messages;
  if (predictedSpam) ++figures.judgedSpam;
}

double SpamMetrics::accuracy() const { return ratio(truePositives + trueNegatives, total()); }
double SpamMetrics::precision() const { return ratio(truePositives, truePositives + falsePositives); }
double SpamMetrics::recall() const { return ratio(truePositives, truePositives + falseNegatives); }
double SpamMetrics::f1() const { return ratio(2 * precision() * recall(), precision() + recall()); }
double SpamMetrics::messagesPerSecond() const { return ratio(total(), seconds); }

std::string SpamMetrics::text() const {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer,
                "messages   %zu (spam %zu, ham %zu)\n"
                "accuracy   %.4f\n"
                "precision  %.4f  (spam)\n"
                "recall     %.4f  (spam)\n"
                "f1         %.4f  (spam)\n"
                "throughput %.0f messages/s\n"
                "confusion  tp %zu  fp %zu  tn %zu  fn %zu\n",
                total(), truePositives + falseNegatives, trueNegatives + falsePositives, accuracy(), precision(),
                recall(), f1(), messagesPerSecond(), truePositives, falsePositives, trueNegatives, falseNegatives);
  std::string text = buffer;
  // Ham first (the map orders false before true): what costs a person most comes first.
  std::optional<bool> headed;
  for (const auto& [key, figures] : categories) {
    const auto& [spam, category] = key;
    if (headed != spam) text += spam ? "spam missed per category\n" : "ham flagged per category\n";
    headed = spam;
    const std::size_t wrong = spam ? figures.messages - figures.judgedSpam : figures.judgedSpam;
    std::snprintf(buffer, sizeof buffer, "  %-18s %5zu of %5zu  %6.2f%%\n", category.c_str(), wrong, figures.messages,
                  100.0 * ratio(static_cast<double>(wrong), static_cast<double>(figures.messages)));
    text += buffer;
  }
  return text;
}

std::string SpamMetrics::json() const {
  nlohmann::ordered_json j = {
      {"accuracy", accuracy()},
      {"precision", precision()},
      {"recall", recall()},
      {"f1", f1()},
      {"messages_per_second", messagesPerSecond()},
      {"confusion", {{"tp", truePositives}, {"fp", falsePositives}, {"tn", trueNegatives}, {"fn", falseNegatives}}}};
  if (!categories.empty()) {
    auto& list = j["categories"] = nlohmann::ordered_json::array();
    for (const auto& [key, figures] : categories) {
      const auto& [spam, category] = key;
      nlohmann::ordered_json entry = {
          {"label", spam ? "spam" : "ham"}, {"category", category}, {"messages", figures.messages}};
      if (spam)
        entry["missed"] = figures.messages - figures.judgedSpam;
      else
        entry["flagged"] = figures.judgedSpam;
      list.push_back(std::move(entry));
    }
  }
  return j.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace quell
