#include "engine/features/token_counts.h"

#include "engine/features/word_tokenizer.h"
#include "platform/unicode_text.h"

namespace quell {

void TokenCounts::add(std::string_view token) {
  auto [it, inserted] = index_.try_emplace(toNfc(token), entries_.size());
  if (inserted)
    entries_.emplace_back(std::string(token), 1.0);
  else
    entries_[it->second].second += 1.0;
}

double TokenCounts::count(std::string_view token) const {
  auto it = index_.find(toNfc(token));
  return it == index_.end() ? 0.0 : entries_[it->second].second;
}

TokenCounts buildTokenCounts(std::string_view body) { return buildTokenCounts(body, FeatureVocabulary::shipped()); }

TokenCounts buildTokenCounts(std::string_view body, const FeatureVocabulary& vocabulary) {
  if (body.size() > kMaxCountedBodyBytes) {
    // Back up from the limit to the start of the character it falls in.
    std::size_t cut = kMaxCountedBodyBytes;
    while (cut > 0 && (static_cast<unsigned char>(body[cut]) & 0xc0) == 0x80) --cut;
    body = body.substr(0, cut);
  }
  TokenCounts counts;
  for (const auto& token : lowercasedWordTokens(body))
    if (vocabulary.contains(token)) counts.add(token);
  return counts;
}

}  // namespace quell
