// The two questions the rule lists ask of a message.
//
// matchesNumberList: is the sender, as a whole string, one of the list's entries? Exact and case-sensitive
// up to canonical equivalence; nothing is trimmed or stripped (no country prefix, blank or hyphen is
// ignored).
//
// matchKeywordList: which entries of a keyword list occur in the text? An entry occurs when it is a
// contiguous run of whole characters of the text, up to canonical equivalence; case, diacritics and width
// count. Empty entries never occur. The entries are not normalised, so an entry holding CR, LF, "." or "-"
// never occurs in a normalised body.
//
// Both read their list from the rule store on every call (see rule_store.h); the overloads taking a list are
// the same tests on a list the caller already holds.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/rule_store.h"

namespace quell {

struct KeywordMatch {
  bool matched = false;
  std::vector<std::string> entries;  // the entries that occur, in list order, duplicates included
};

bool matchesNumberList(std::string_view sender, RuleListKind kind);
bool matchesNumberList(std::string_view sender, const std::vector<std::string>& list);

KeywordMatch matchKeywordList(std::string_view text, RuleListKind kind);
KeywordMatch matchKeywordList(std::string_view text, const std::vector<std::string>& list);

}  // namespace quell
