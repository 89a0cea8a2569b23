// TokenCounts and buildTokenCounts: the bag of words the model sees.
//
// buildTokenCounts lowercases the (already normalised) body, splits it into word tokens and counts each
// token that is a member of the vocabulary. Counts are whole numbers held as doubles, at least 1.0; words
// outside the vocabulary leave no trace. Keys are compared up to canonical equivalence, and the key kept is
// the spelling met first in the text. A pure function of its input; never fails.
//
// Only the first kMaxCountedBodyBytes bytes of a body are counted (cut at a character boundary). The
// longest SMS the networks deliver (255 concatenated parts of 67 UCS-2 characters) takes about 51 KB of
// UTF-8, so every real message is counted whole, while a hostile megabyte costs no more than that.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/features/feature_vocabulary.h"

namespace quell {

class TokenCounts {
 public:
  // Adds one occurrence of token.
  void add(std::string_view token);
  // The count of token (up to canonical equivalence), 0 when absent.
  double count(std::string_view token) const;

  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  // (key, count) pairs in order of first occurrence.
  const std::vector<std::pair<std::string, double>>& entries() const { return entries_; }

 private:
  std::vector<std::pair<std::string, double>> entries_;
  std::unordered_map<std::string, std::size_t> index_;  // NFC key -> position in entries_
};

inline constexpr std::size_t kMaxCountedBodyBytes = 64 * 1024;

TokenCounts buildTokenCounts(std::string_view body);
TokenCounts buildTokenCounts(std::string_view body, const FeatureVocabulary& vocabulary);

}  // namespace quell
