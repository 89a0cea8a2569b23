// The string services of the platform that the engine relies on: canonical equivalence, normalisation
// forms and substring search on whole characters. Strings are UTF-8 throughout the engine; these
// functions accept ill-formed UTF-8 without failing (such bytes simply never equal well-formed text).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class BreakIterator;
U_NAMESPACE_END

namespace quell {

bool isAscii(std::string_view s);
bool isWellFormedUtf8(std::string_view s);

// s in normalisation form D (canonical decomposition), UTF-8.
std::string toNfd(std::string_view s);
// s in normalisation form C (canonical composition), UTF-8.
std::string toNfc(std::string_view s);

// True when a and b are the same text up to canonical equivalence (composed or decomposed accents and the
// like). Case, width and every other difference count.
bool canonicallyEqual(std::string_view a, std::string_view b);

// A text prepared once for many substring searches up to canonical equivalence: a match must consist of
// whole characters (grapheme clusters), so "e" does not occur in "é", whichever way "é" is written.
class CanonicalText {
 public:
  explicit CanonicalText(std::string_view text);
  ~CanonicalText();
  CanonicalText(const CanonicalText&) = delete;
  CanonicalText& operator=(const CanonicalText&) = delete;

  // True when `needle` occurs in the text; an empty needle never occurs.
  bool contains(std::string_view needle) const;

 private:
  bool onCharacterBoundaries(std::size_t begin, std::size_t end) const;

  std::string nfd_;
  bool simple_;  // ASCII without CR: every byte is a whole character
  mutable std::unique_ptr<icu::BreakIterator> characters_;  // set up on the first non-trivial hit
};

}  // namespace quell
