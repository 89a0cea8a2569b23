// Word tokens of a text, as the phone's linguistic tagger gives them.
//
// The text is segmented with ICU's word break rules (dictionary-based segmentation for runs of Chinese,
// Japanese and other scripts written without spaces). Word tokens are kept: letters, numbers, kana and
// ideographs, and emoji and other pictographic symbols. Punctuation, whitespace and every other segment
// are left out. Ranges are in UTF-16 code units, as the platform reports them.
//
// Safe to call from any thread; each thread keeps its own break iterator.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <unicode/unistr.h>

namespace quell {

struct WordToken {
  int32_t start;  // UTF-16 code units
  int32_t limit;
};

// Word tokens of `text` in text order.
std::vector<WordToken> wordTokens(const icu::UnicodeString& text);

// `text` lowercased with the locale-independent (root) Unicode mapping. Ill-formed UTF-8 becomes U+FFFD.
icu::UnicodeString lowercased(std::string_view text);

// The lowercased word tokens of `text` as UTF-8 strings, in text order: what the bag of words counts.
std::vector<std::string> lowercasedWordTokens(std::string_view text);

}  // namespace quell
