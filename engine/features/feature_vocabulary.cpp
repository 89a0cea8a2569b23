#include "engine/features/feature_vocabulary.h"

#include "platform/unicode_text.h"

namespace quell {

// Generated at build time from resources/vocabulary.txt.
extern const char kShippedVocabulary[];
extern const std::size_t kShippedVocabularySize;

FeatureVocabulary::FeatureVocabulary(std::vector<std::string> entries) : entries_(std::move(entries)) {
  canonical_.reserve(entries_.size());
  for (const auto& entry : entries_) canonical_.insert(toNfc(entry));
}

FeatureVocabulary FeatureVocabulary::fromText(std::string_view text) {
  std::vector<std::string> entries;
  while (!text.empty()) {
    auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty()) entries.emplace_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return FeatureVocabulary(std::move(entries));
}

const FeatureVocabulary& FeatureVocabulary::shipped() {
  static const FeatureVocabulary vocabulary = fromText(std::string_view(kShippedVocabulary, kShippedVocabularySize));
  return vocabulary;
}

bool FeatureVocabulary::contains(std::string_view token) const { return canonical_.count(toNfc(token)) > 0; }

}  // namespace quell
