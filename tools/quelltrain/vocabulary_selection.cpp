#include "tools/quelltrain/vocabulary_selection.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include "platform/unicode_text.h"

namespace quell {

namespace {

// Whether token is a number: digits (of any script, or enclosed like ⒈), possibly with the separators a
// number holds ("1,000", "2.5", "3，4"), and nothing else.
bool isNumber(const std::string& token) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(token.data());
  const auto length = static_cast<std::int32_t>(token.size());
  bool digits = false;
  for (std::int32_t i = 0; i < length;) {
    UChar32 c;
    U8_NEXT(bytes, i, length, c);
    if (c < 0) return false;
    if (u_isdigit(c) || u_charType(c) == U_OTHER_NUMBER)
      digits = true;
    else if (!u_ispunct(c))
      return false;
  }
  return digits;
}

}  // namespace

bool isEligibleFeature(const std::string& token) {
  if (token.empty()) return false;
  bool allX = std::all_of(token.begin(), token.end(), [](char c) { return c == 'x'; });
  return !isNumber(token) && !allX;
}

namespace {

// Squared phi coefficient of a 2x2 table: a = spam holding the token, b = ham holding it, c = spam without
// it, d = ham without it.
double phiSquared(double a, double b, double c, double d) {
  double denominator = (a + b) * (c + d) * (a + c) * (b + d);
  if (denominator <= 0) return 0;
  double cross = a * d - b * c;
  return cross * cross / denominator;
}

}  // namespace

std::vector<std::string> selectVocabulary(const std::vector<TokenizedMessage>& messages, int corpusCount,
                                          std::size_t size, int minMessages, VocabularyRanking ranking) {
  std::vector<std::size_t> corpusSize(corpusCount, 0), corpusSpam(corpusCount, 0);
  // Per token and corpus: messages holding it, and of those the spam.
  std::unordered_map<std::string, std::vector<int>> documentFrequency, spamFrequency;
  for (const auto& message : messages) {
    ++corpusSize[message.corpus];
    if (message.spam) ++corpusSpam[message.corpus];
    std::unordered_set<std::string> seen;
    for (const auto& token : message.tokens) {
      if (!isEligibleFeature(token)) continue;
      std::string nfc = toNfc(token);
      if (!seen.insert(nfc).second) continue;
      auto& df = documentFrequency[nfc];
      auto& sf = spamFrequency[nfc];
      if (df.empty()) {
        df.assign(corpusCount, 0);
        sf.assign(corpusCount, 0);
      }
      ++df[message.corpus];
      if (message.spam) ++sf[message.corpus];
    }
  }
  struct Candidate {
    double score;
    std::string token;
  };
  std::vector<Candidate> candidates;
  for (auto& [token, df] : documentFrequency) {
    int total = 0;
    double score = 0;
    const auto& sf = spamFrequency[token];
    for (int c = 0; c < corpusCount; ++c) {
      total += df[c];
      if (!corpusSize[c]) continue;
      double corpusScore = static_cast<double>(df[c]) / static_cast<double>(corpusSize[c]);
      if (ranking == VocabularyRanking::kAssociation) {
        double spamWith = sf[c], hamWith = df[c] - sf[c];
        corpusScore = phiSquared(spamWith, hamWith, static_cast<double>(corpusSpam[c]) - spamWith,
                                 static_cast<double>(corpusSize[c] - corpusSpam[c]) - hamWith);
      }
      score = std::max(score, corpusScore);
    }
    if (total >= minMessages) candidates.push_back({score, token});
  }
  std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
    return a.score != b.score ? a.score > b.score : a.token < b.token;
  });
  if (candidates.size() > size) candidates.resize(size);
  std::vector<std::string> vocabulary;
  for (auto& c : candidates) vocabulary.push_back(std::move(c.token));
  std::sort(vocabulary.begin(), vocabulary.end());  // byte order of UTF-8 is code point order
  return vocabulary;
}

}  // namespace quell
