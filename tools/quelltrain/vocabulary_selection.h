// Choosing the model's vocabulary from the training corpora.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quell {

// The tokens of one message of one corpus, as the filter would count them.
struct TokenizedMessage {
  bool spam;
  int corpus;  // index of the corpus the message came from
  std::vector<std::string> tokens;
};

// Whether a token may be a feature at all. Left out: numbers, that is digits with at most the separators a
// number holds (mostly phone numbers, codes and amounts; one corpus masks every digit of its spam, so what
// its numbers say is only which label masked them), and tokens made only of "x" (that corpus's masks).
bool isEligibleFeature(const std::string& token);

enum class VocabularyRanking {
  // By the share of messages holding the token.
  kFrequency,
  // By how strongly holding the token goes with the label: the squared phi coefficient of token presence
  // and label, which is chi-square divided by the number of messages.
  kAssociation,
};

// The `size` eligible tokens with the highest score, where a token's score is its best score in any one
// corpus (each corpus judged on its own messages, so a small corpus in another language still gets its
// words). Tokens met in fewer than minMessages messages are left out. Returned in code point order,
// unique up to canonical equivalence (NFC). Deterministic.
std::vector<std::string> selectVocabulary(const std::vector<TokenizedMessage>& messages, int corpusCount,
                                          std::size_t size, int minMessages, VocabularyRanking ranking);

}  // namespace quell
