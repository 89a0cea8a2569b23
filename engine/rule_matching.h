// The two questions the rule lists ask of a message.
//
// matchesNumberList: is the sender, as a whole string, one of the list's entries? Exact and case-sensitive
// up to canonical equivalence; nothing is trimmed or stripped (no country prefix, blank or hyphen is
// ignored).
//
// matchKeywordList: which entries of a keyword list occur in the text? An entry occurs when it is a
// contiguous run of whole characters of the text, up to canonical equivalence; case, diacritics and width
// count. Empty entries never occur. The text is a normalised body, which holds no CR, LF, "." or "-"; an
// entry is searched for without those characters too, so "t.cn" occurs in a body that held "t.cn", and an
// entry made only of them is as empty and never occurs.
//
// The overloads taking a RuleListKind read their list from the rule store on every call (see
// rule_store.h); those taking a list are the same tests on a list the caller already holds; those taking a
// CanonicalText use a sender or body the caller prepared once for every list it tests, so that a query
// costs time linear in the message times the list sizes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/rule_store.h"
#include "platform/unicode_text.h"

namespace quell {

struct KeywordMatch {
  bool matched = false;
  std::vector<std::string> entries;  // the entries that occur, in list order, duplicates included
};

bool matchesNumberList(std::string_view sender, RuleListKind kind);
bool matchesNumberList(std::string_view sender, const std::vector<std::string>& list);
bool matchesNumberList(const CanonicalText& sender, const std::vector<std::string>& list);
// The entries of list that the sender is, in list order, duplicates included (empty: no match).
std::vector<std::string> matchNumberList(const CanonicalText& sender, const std::vector<std::string>& list);

KeywordMatch matchKeywordList(std::string_view text, RuleListKind kind);
KeywordMatch matchKeywordList(std::string_view text, const std::vector<std::string>& list);
KeywordMatch matchKeywordList(const CanonicalText& text, const std::vector<std::string>& list);

}  // namespace quell
