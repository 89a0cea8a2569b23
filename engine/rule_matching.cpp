#include "engine/rule_matching.h"

#include <algorithm>

#include "engine/message_normalization.h"

namespace quell {

bool matchesNumberList(std::string_view sender, RuleListKind kind) {
  return matchesNumberList(sender, loadRuleList(kind));
}

bool matchesNumberList(std::string_view sender, const std::vector<std::string>& list) {
  if (list.empty()) return false;
  return matchesNumberList(CanonicalText(sender), list);
}

bool matchesNumberList(const CanonicalText& sender, const std::vector<std::string>& list) {
  return std::any_of(list.begin(), list.end(), [&sender](const std::string& entry) { return sender.equals(entry); });
}

std::vector<std::string> matchNumberList(const CanonicalText& sender, const std::vector<std::string>& list) {
  std::vector<std::string> matched;
  for (const auto& entry : list)
    if (sender.equals(entry)) matched.push_back(entry);
  return matched;
}

KeywordMatch matchKeywordList(std::string_view text, RuleListKind kind) {
  return matchKeywordList(text, loadRuleList(kind));
}

KeywordMatch matchKeywordList(std::string_view text, const std::vector<std::string>& list) {
  if (list.empty()) return KeywordMatch();
  return matchKeywordList(CanonicalText(text), list);
}

KeywordMatch matchKeywordList(const CanonicalText& text, const std::vector<std::string>& list) {
  KeywordMatch match;
  for (const auto& entry : list) {
    const bool plain = std::none_of(entry.begin(), entry.end(), isNormalizedAway);  // the usual entry: no copy
    if (text.contains(plain ? std::string_view(entry) : removeNormalizedAwayCharacters(entry)))
      match.entries.push_back(entry);
  }
  match.matched = !match.entries.empty();
  return match;
}

}  // namespace quell
