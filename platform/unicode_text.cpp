#include "platform/unicode_text.h"

#include <unicode/brkiter.h>
#include <unicode/bytestream.h>
#include <unicode/normalizer2.h>
#include <unicode/utext.h>
#include <unicode/utf8.h>

#include <algorithm>

namespace quell {

namespace {

std::string normalize(const icu::Normalizer2* normalizer, std::string_view s) {
  if (!normalizer || isAscii(s)) return std::string(s);  // ASCII is stable under NFC and NFD
  UErrorCode status = U_ZERO_ERROR;
  icu::StringPiece piece(s.data(), static_cast<int32_t>(s.size()));
  if (normalizer->isNormalizedUTF8(piece, status) && U_SUCCESS(status)) return std::string(s);
  std::string out;
  icu::StringByteSink<std::string> sink(&out, static_cast<int32_t>(s.size()));
  status = U_ZERO_ERROR;
  normalizer->normalizeUTF8(0, piece, sink, nullptr, status);
  if (U_FAILURE(status)) return std::string(s);  // ill-formed input: compare it as it is
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

bool CanonicalText::contains(std::string_view needle) const {
  if (needle.empty()) return false;
  std::string pattern = toNfd(needle);
  for (std::size_t from = 0;;) {
    auto at = nfd_.find(pattern, from);
    if (at == std::string::npos) return false;
    if (simple_ || onCharacterBoundaries(at, at + pattern.size())) return true;
    from = at + 1;
  }
}

bool CanonicalText::onCharacterBoundaries(std::size_t begin, std::size_t end) const {
  if (!characters_) {
    UErrorCode status = U_ZERO_ERROR;
    characters_.reset(icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status) || !characters_) {
      characters_.reset();
      return true;  // without the iterator, fall back to a plain substring match
    }
    UText* text = utext_openUTF8(nullptr, nfd_.data(), static_cast<int64_t>(nfd_.size()), &status);
    characters_->setText(text, status);
    utext_close(text);  // the iterator keeps its own clone
    if (U_FAILURE(status)) {
      characters_.reset();
      return true;
    }
  }
  return characters_->isBoundary(static_cast<int32_t>(begin)) &&
         characters_->isBoundary(static_cast<int32_t>(end));
}

}  // namespace quell
