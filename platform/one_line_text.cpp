#include "platform/one_line_text.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <cstdio>

namespace quell {

std::string oneLineText(std::string_view text) {
  std::string row;
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  const int32_t length = static_cast<int32_t>(text.size());
  for (int32_t i = 0; i < length;) {
    const int32_t start = i;
    UChar32 c;
    U8_NEXT(bytes, i, length, c);
    char escape[16];
    if (c < 0) {
      for (int32_t j = start; j < i; ++j) {
        std::snprintf(escape, sizeof escape, "\\x%02X", bytes[j]);
        row += escape;
      }
    } else if (c == '\\') {
      row += "\\\\";
    } else if (c == '\t') {
      row += "\\t";
    } else if (c == '\n') {
      row += "\\n";
    } else if (c == '\r') {
      row += "\\r";
    } else if (u_charType(c) == U_CONTROL_CHAR || c == 0x2028 || c == 0x2029 ||
               u_hasBinaryProperty(c, UCHAR_BIDI_CONTROL)) {
      std::snprintf(escape, sizeof escape, "\\u{%04X}", static_cast<unsigned>(c));
      row += escape;
    } else {
      row.append(text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(i - start)));
    }
  }
  return row;
}

}  // namespace quell
