#include "engine/rule_matching.h"

#include <algorithm>

#include "platform/unicode_text.h"

namespace quell {

bool matchesNumberList(std::string_view sender, RuleListKind kind) {
  return matchesNumberList(sender, loadRuleList(kind));
}

bool matchesNumberList(std::string_view sender, const std::vector<std::string>& list) {
  return std::any_of(list.begin(), list.end(),
                     [sender](const std::string& entry) { return canonicallyEqual(sender, entry); });
}

KeywordMatch matchKeywordList(std::string_view text, RuleListKind kind) {
  return matchKeywordList(text, loadRuleList(kind));
}

KeywordMatch matchKeywordList(std::string_view text, const std::vector<std::string>& list) {
  KeywordMatch match;
  if (list.empty()) return match;
  CanonicalText searched(text);
  for (const auto& entry : list)
    if (searched.contains(entry)) match.entries.push_back(entry);
  match.matched = !match.entries.empty();
  return match;
}

}  // namespace quell
