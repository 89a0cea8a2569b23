// FeatureVocabulary: the fixed list of words the model knows.
//
// Membership is decided up to canonical equivalence (a word written with composed or decomposed accents is
// one word); everything else, case included, counts. A vocabulary is immutable once built and safe to share
// between threads.
//
// FeatureVocabulary::shipped() is the vocabulary that belongs to the shipped model. It is compiled into the
// program from resources/vocabulary.txt (UTF-8, one entry per line); nothing is read at run time.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace quell {

class FeatureVocabulary {
 public:
  explicit FeatureVocabulary(std::vector<std::string> entries);

  // Parses the resource form: UTF-8 text, one entry per line ("\n" line ends; a final line end is optional).
  static FeatureVocabulary fromText(std::string_view text);
  static const FeatureVocabulary& shipped();

  bool contains(std::string_view token) const;
  // The entries in their stored order, duplicates included.
  const std::vector<std::string>& entries() const { return entries_; }

 private:
  std::vector<std::string> entries_;
  std::unordered_set<std::string> canonical_;  // entries in NFC
};

}  // namespace quell
