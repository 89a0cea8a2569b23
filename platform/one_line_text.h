// oneLineText: a text as one row of a terminal listing. Control characters, line and paragraph separators,
// bidirectional controls and bytes that are not UTF-8 are written as escapes ("\n", "\t", "\u{202E}",
// "\xFF"), and the backslash as "\\", so that no text can break a row, forge another or reorder what
// follows it.
#pragma once

#include <string>
#include <string_view>

namespace quell {

std::string oneLineText(std::string_view text);

// text as one cell of a terminal table, `columns` wide: escaped as oneLineText does, cut with "…" where it
// would run wider, and padded with spaces. Wide characters (Chinese, full-width forms) take two columns,
// combining marks none. Only the start of text is looked at, so a long text costs no more than a short one.
std::string terminalCell(std::string_view text, int columns);

}  // namespace quell
