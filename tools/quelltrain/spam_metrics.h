// Quality figures of a spam classifier on a labeled set, overall and per category of message.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <utility>

namespace quell {

// How one category of messages of one label was judged.
struct CategoryFigures {
  std::size_t messages = 0;
  std::size_t judgedSpam = 0;  // for ham, the messages flagged; for spam, those caught
};

struct SpamMetrics {
  std::size_t truePositives = 0, falsePositives = 0, trueNegatives = 0, falseNegatives = 0;
  double seconds = 0;  // time spent judging
  // Keyed by (spam, category): a category that both labels use ("parcel") is counted apart per label.
  // Messages without a category are only in the totals.
  std::map<std::pair<bool, std::string>, CategoryFigures> categories;

  void add(bool actualSpam, bool predictedSpam, const std::string& category = {});
  std::size_t total() const { return truePositives + falsePositives + trueNegatives + falseNegatives; }
  double accuracy() const;
  double precision() const;  // of the spam class; 0 when nothing was called spam
  double recall() const;
  double f1() const;
  double messagesPerSecond() const;

  // For people: the totals, then, when messages carry categories, the ham flagged and the spam missed per
  // category.
  std::string text() const;
  // {"accuracy": ..., "precision": ..., "recall": ..., "f1": ..., "messages_per_second": ..., "confusion":
  // {"tp": ..., "fp": ..., "tn": ..., "fn": ...}}, and when
  // messages carry categories "categories": [{"label", "category", "messages", "flagged" (ham) or
  // "missed" (spam)}, ...].
  std::string json() const;
};

}  // namespace quell
