// Quality figures of a spam classifier on a labeled set.
#pragma once

#include <cstddef>
#include <string>

namespace quell {

struct SpamMetrics {
  std::size_t truePositives = 0, falsePositives = 0, trueNegatives = 0, falseNegatives = 0;
  double seconds = 0;  // time spent judging

  void add(bool actualSpam, bool predictedSpam);
  std::size_t total() const { return truePositives + falsePositives + trueNegatives + falseNegatives; }
  double accuracy() const;
  double precision() const;  // of the spam class; 0 when nothing was called spam
  double recall() const;
  double f1() const;
  double messagesPerSecond() const;

  std::string text() const;  // for people
  std::string json()
      const;  // {"accuracy": ..., "precision": ..., "recall": ..., "f1": ..., "messages_per_second": ...}
};

}  // namespace quell
