// normalizeMessageBody: the text that the keyword lists and the model see.
//
// Removes every CR, LF, "." and "-", in that order, then trims Unicode space separators (category Zs) and
// tabs from both ends. Nothing else changes: case, full-width punctuation, inner blanks and other line
// separators (U+2028, U+0085, vertical tab, form feed) stay. Ill-formed UTF-8 is kept as it is.
#pragma once

#include <string>
#include <string_view>

namespace quell {

std::string normalizeMessageBody(std::string_view body);

// True for the four characters normalisation removes: CR, LF, "." and "-".
inline bool isNormalizedAway(char c) { return c == '\r' || c == '\n' || c == '.' || c == '-'; }

// text without any CR, LF, "." or "-": the removals of normalizeMessageBody alone, with no trimming. A
// keyword entry is searched for in this form, since a normalised body never holds those characters.
std::string removeNormalizedAwayCharacters(std::string_view text);

}  // namespace quell
