#include "engine/message_normalization.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

namespace quell {

namespace {

bool isTrimmedBlank(UChar32 c) { return c == u'\t' || (c >= 0 && u_charType(c) == U_SPACE_SEPARATOR); }

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

  const auto* s = reinterpret_cast<const uint8_t*>(text.data());
  int32_t length = static_cast<int32_t>(text.size());
  int32_t begin = 0;
  while (begin < length) {
    int32_t next = begin;
    UChar32 c;
    U8_NEXT(s, next, length, c);
    if (!isTrimmedBlank(c)) break;
    begin = next;
  }
  int32_t end = length;
  while (end > begin) {
    int32_t previous = end;
    UChar32 c;
    U8_PREV(s, begin, previous, c);
    if (!isTrimmedBlank(c)) break;
    end = previous;
  }
  return text.substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin));
}

}  // namespace quell
