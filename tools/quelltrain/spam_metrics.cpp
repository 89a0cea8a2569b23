#include "tools/quelltrain/spam_metrics.h"

#include <cstdio>

#include <nlohmann/json.hpp>

namespace quell {

namespace {

double ratio(double a, double b) { return b > 0 ? a / b : 0.0; }

}  // namespace

void SpamMetrics::add(bool actualSpam, bool predictedSpam) {
  if (actualSpam)
    ++(predictedSpam ? truePositives : falseNegatives);
  else
    ++(predictedSpam ? falsePositives : trueNegatives);
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
  return buffer;
}

std::string SpamMetrics::json() const {
  nlohmann::ordered_json j = {{"accuracy", accuracy()},
                              {"precision", precision()},
                              {"recall", recall()},
                              {"f1", f1()},
                              {"messages_per_second", messagesPerSecond()}};
  return j.dump();
}

}  // namespace quell
