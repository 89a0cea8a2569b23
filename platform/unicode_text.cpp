#include "platform/unicode_text.h"

#include <unicode/brkiter.h>
#include <unicode/bytestream.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/utext.h>
#include <unicode/utf8.h>

#include <string.h>

#include <algorithm>
#include <optional>

namespace quell {

namespace {

constexpr char kCombiningGraphemeJoiner[] = "\u034f";

// A combining mark in the sense of canonical reordering: a code point whose decomposition starts with a
// character of non-zero combining class. Nothing below U+0300 is one.
bool isNonStarter(UChar32 c) {
  return c >= 0x300 && u_getIntPropertyValue(c, UCHAR_LEAD_CANONICAL_COMBINING_CLASS) != 0;
}

// s with its long runs of combining marks broken up, or nullopt when it has none (the common case, which
// then costs no copy).
std::optional<std::string> boundedCombiningRuns(std::string_view s) {
  std::string out;
  std::size_t copied = 0;  // s[0, copied) is already in out
  int run = 0;
  const auto* bytes = reinterpret_cast<const uint8_t*>(s.data());
  const int32_t length = static_cast<int32_t>(s.size());
  for (int32_t i = 0; i < length;) {
    // ASCII and the three-byte forms of U+4000 to U+9FFF (CJK ideographs) are starters: skipped without
    // decoding, since they are almost all of our messages.
    if (bytes[i] < 0x80) {
      run = 0;
      ++i;
      continue;
    }
    if (bytes[i] >= 0xe4 && bytes[i] <= 0xe9 && i + 2 < length && (bytes[i + 1] & 0xc0) == 0x80 &&
        (bytes[i + 2] & 0xc0) == 0x80) {
      run = 0;
      i += 3;
      continue;
    }
    const int32_t start = i;
    UChar32 c;
    U8_NEXT(bytes, i, length, c);
    if (!isNonStarter(c)) {
      run = 0;
      continue;
    }
    if (++run <= kMaxCombiningRun) continue;
    out.append(s.substr(copied, static_cast<std::size_t>(start) - copied));
    out.append(kCombiningGraphemeJoiner);
    copied = static_cast<std::size_t>(start);
    run = 1;
  }
  if (copied == 0) return std::nullopt;
  out.append(s.substr(copied));
  return out;
}

std::string normalize(const icu::Normalizer2* normalizer, std::string_view text) {
  if (!normalizer || isAscii(text)) return std::string(text);  // ASCII is stable under NFC and NFD
  const std::optional<std::string> bounded = boundedCombiningRuns(text);
  const std::string_view input = bounded ? std::string_view(*bounded) : text;
  UErrorCode status = U_ZERO_ERROR;
  icu::StringPiece piece(input.data(), static_cast<int32_t>(input.size()));
  if (normalizer->isNormalizedUTF8(piece, status) && U_SUCCESS(status)) return std::string(input);
  std::string out;
  icu::StringByteSink<std::string> sink(&out, static_cast<int32_t>(input.size()));
  status = U_ZERO_ERROR;
  normalizer->normalizeUTF8(0, piece, sink, nullptr, status);
  if (U_FAILURE(status)) return std::string(text);  // ill-formed input: compare it as it is
  return out;
}

const icu::Normalizer2* nfd() {
  UErrorCode status = U_ZERO_ERROR;
  static const icu::Normalizer2* instance = icu::Normalizer2::getNFDInstance(status);
  return instance;
}

const icu::Normalizer2* nfc() {
  UErrorCode status = U_ZERO_ERROR;
  static const icu::Normalizer2* instance = icu::Normalizer2::getNFCInstance(status);
  return instance;
}

}  // namespace

bool isAscii(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool isWellFormedUtf8(std::string_view s) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(s.data());
  int32_t length = static_cast<int32_t>(s.size());
  for (int32_t i = 0; i < length;) {
    UChar32 c;
    U8_NEXT(bytes, i, length, c);
    if (c < 0) return false;
  }
  return true;
}

std::string_view trimCodePoints(std::string_view s, bool (*trimmed)(std::int32_t codePoint)) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(s.data());
  const int32_t length = static_cast<int32_t>(s.size());
  int32_t begin = 0;
  while (begin < length) {
    int32_t next = begin;
    UChar32 c;
    U8_NEXT(bytes, next, length, c);
    if (c < 0 || !trimmed(c)) break;
    begin = next;
  }
  int32_t end = length;
  while (end > begin) {
    int32_t previous = end;
    UChar32 c;
    U8_PREV(bytes, begin, previous, c);
    if (c < 0 || !trimmed(c)) break;
    end = previous;
  }
  return s.substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin));
}

std::string_view trimWhiteSpace(std::string_view s) {
  return trimCodePoints(s, [](std::int32_t c) -> bool { return u_isUWhiteSpace(c); });
}

std::string toNfd(std::string_view s) { return normalize(nfd(), s); }
std::string toNfc(std::string_view s) { return normalize(nfc(), s); }

bool canonicallyEqual(std::string_view a, std::string_view b) {
  if (a == b) return true;
  if (isAscii(a) && isAscii(b)) return false;
  return toNfd(a) == toNfd(b);
}

CanonicalText::CanonicalText(std::string_view text)
    : nfd_(toNfd(text)), simple_(isAscii(nfd_) && nfd_.find('\r') == std::string::npos) {}

CanonicalText::~CanonicalText() = default;

bool CanonicalText::equals(std::string_view other) const {
  if (other == nfd_) return true;
  if (simple_ && isAscii(other)) return false;
  return toNfd(other) == nfd_;
}

bool CanonicalText::contains(std::string_view needle) const {
  if (needle.empty()) return false;
  const std::string pattern = toNfd(needle);
  for (std::size_t from = 0; from < nfd_.size();) {
    const std::size_t begin = find(pattern, from);
    if (begin == std::string::npos) return false;
    if (simple_ || onCharacterBoundaries(begin, begin + pattern.size())) return true;
    from = begin + 1;
  }
  return false;
}

std::size_t CanonicalText::find(const std::string& pattern, std::size_t from) const {
  // A message-sized text is searched the plain way, which costs nothing to set up. In a long text that
  // way stops at every byte equal to the pattern's first, and in Chinese the lead byte of a character is
  // shared by thousands of others; memmem is linear there and skips ahead.
  constexpr std::size_t kShortText = 4096;
  if (nfd_.size() - from <= kShortText) return nfd_.find(pattern, from);
  const void* found = memmem(nfd_.data() + from, nfd_.size() - from, pattern.data(), pattern.size());
  return found ? static_cast<std::size_t>(static_cast<const char*>(found) - nfd_.data()) : std::string::npos;
}

bool CanonicalText::onCharacterBoundaries(std::size_t begin, std::size_t end) const {
  if (boundaries_.empty()) {
    boundaries_.assign(nfd_.size() + 1, false);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> characters(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    UText* text = utext_openUTF8(nullptr, nfd_.data(), static_cast<int64_t>(nfd_.size()), &status);
    if (U_SUCCESS(status) && characters) {
      characters->setText(text, status);
      for (int32_t at = characters->first(); at != icu::BreakIterator::DONE; at = characters->next())
        boundaries_[static_cast<std::size_t>(at)] = true;
    }
    utext_close(text);
    // Without the iterator, fall back to a plain substring match.
    if (U_FAILURE(status) || !characters) boundaries_.assign(nfd_.size() + 1, true);
  }
  return boundaries_[begin] && boundaries_[end];
}

}  // namespace quell
