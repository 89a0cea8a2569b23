#include "engine/message_normalization.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include "platform/unicode_text.h"

namespace quell {

namespace {

bool isTrimmedBlank(std::int32_t c) { return c == u'\t' || (c >= 0 && u_charType(c) == U_SPACE_SEPARATOR); }

}  // namespace

std::string removeNormalizedAwayCharacters(std::string_view text) {
  // The four removed characters are ASCII, and ASCII bytes never occur inside a multi-byte UTF-8
  // sequence, so removing them byte by byte is exact.
  std::string kept(text.size(), '\0');
  char* out = kept.data();
  for (char c : text) {
    *out = c;
    out += !isNormalizedAway(c);
  }
  kept.resize(static_cast<std::size_t>(out - kept.data()));
  return kept;
}

std::string normalizeMessageBody(std::string_view body) {
  const std::string text = removeNormalizedAwayCharacters(body);
  return std::string(trimCodePoints(text, isTrimmedBlank));
}

}  // namespace quell
