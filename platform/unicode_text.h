// The string services of the platform that the engine relies on: canonical equivalence, normalisation
// forms and substring search on whole characters. Strings are UTF-8 throughout the engine; these
// functions accept ill-formed UTF-8 without failing (such bytes simply never equal well-formed text).
//
// Cost: every function here is linear in the length of its input. Canonical reordering sorts each run of
// combining marks, which costs the square of the run's length, so before normalising, a run of more than
// kMaxCombiningRun combining marks is broken up with U+034F COMBINING GRAPHEME JOINER after every
// kMaxCombiningRun marks (the stream-safe text format). No real text holds such a run; for the hostile
// texts that do, the pieces of the run are normalised on their own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quell {

inline constexpr int kMaxCombiningRun = 30;

bool isAscii(std::string_view s);
bool isWellFormedUtf8(std::string_view s);

// s without the code points at its two ends for which `trimmed` holds; ill-formed bytes are never trimmed.
// A view into s.
std::string_view trimCodePoints(std::string_view s, bool (*trimmed)(std::int32_t codePoint));
// s without the white space (Unicode's White_Space: blanks, tabs, line breaks, U+3000 and the like) at its
// two ends.
std::string_view trimWhiteSpace(std::string_view s);

// s in normalisation form D (canonical decomposition), UTF-8.
std::string toNfd(std::string_view s);
// s in normalisation form C (canonical composition), UTF-8.
std::string toNfc(std::string_view s);

// True when a and b are the same text up to canonical equivalence (composed or decomposed accents and the
// like). Case, width and every other difference count.
bool canonicallyEqual(std::string_view a, std::string_view b);

// A text prepared once for many comparisons and substring searches up to canonical equivalence: a match
// must consist of whole characters (grapheme clusters), so "e" does not occur in "é", whichever way "é"
// is written. Preparing costs one pass over the text; each question costs what its needle costs plus one
// search through the text.
class CanonicalText {
 public:
  explicit CanonicalText(std::string_view text);
  ~CanonicalText();
  CanonicalText(const CanonicalText&) = delete;
  CanonicalText& operator=(const CanonicalText&) = delete;

  // True when the whole text is canonically equivalent to `other`.
  bool equals(std::string_view other) const;

  // True when `needle` occurs in the text; an empty needle never occurs.
  bool contains(std::string_view needle) const;

 private:
  // The first occurrence of pattern's bytes at or after from, or npos.
  std::size_t find(const std::string& pattern, std::size_t from) const;
  bool onCharacterBoundaries(std::size_t begin, std::size_t end) const;

  std::string nfd_;
  bool simple_;  // ASCII without CR: every byte is a whole character
  // Whether each byte offset of nfd_ (and its end) starts a character; found in one pass on the first
  // hit that needs it, so that any number of hits costs linear time.
  mutable std::vector<bool> boundaries_;
};

}  // namespace quell
