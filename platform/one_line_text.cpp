#include "platform/one_line_text.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
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

namespace {

int displayWidth(UChar32 c) {
  if (u_getCombiningClass(c) != 0 || u_charType(c) == U_NON_SPACING_MARK || u_charType(c) == U_ENCLOSING_MARK) return 0;
  const auto width = static_cast<UEastAsianWidth>(u_getIntPropertyValue(c, UCHAR_EAST_ASIAN_WIDTH));
  return width == U_EA_WIDE || width == U_EA_FULLWIDTH ? 2 : 1;
}

}  // namespace

std::string terminalCell(std::string_view text, int columns) {
  // No character is narrower than one column once escaped, so this much of the text fills the cell.
  std::size_t prefix = std::min(text.size(), static_cast<std::size_t>(std::max(columns, 0)) * 4 + 4);
  while (prefix < text.size() && (static_cast<unsigned char>(text[prefix]) & 0xC0) == 0x80) --prefix;
  const std::string escaped = oneLineText(text.substr(0, prefix));
  const bool cutShort = prefix < text.size();

  std::string cell;
  int used = 0;
  const auto* bytes = reinterpret_cast<const uint8_t*>(escaped.data());
  const int32_t length = static_cast<int32_t>(escaped.size());
  for (int32_t i = 0; i < length;) {
    const int32_t start = i;
    UChar32 c;
    U8_NEXT(bytes, i, length, c);
    const int width = displayWidth(c);
    // Room is kept for the ellipsis unless this is the text's last character and it fits.
    const bool last = i == length && !cutShort;
    if (used + width > columns - (last ? 0 : 1)) {
      if (used < columns) {
        cell += "\u2026";
        ++used;
      }
      break;
    }
    cell.append(escaped, static_cast<std::size_t>(start), static_cast<std::size_t>(i - start));
    used += width;
  }
  cell.append(static_cast<std::size_t>(std::max(columns - used, 0)), ' ');
  return cell;
}

}  // namespace quell
