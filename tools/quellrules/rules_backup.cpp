#include "tools/quellrules/rules_backup.h"

#include <nlohmann/json.hpp>

namespace quell {

std::string formatRulesBackup(const RuleLists& lists) {
  nlohmann::ordered_json backup = nlohmann::ordered_json::object();
  for (const auto& [kind, entries] : lists) backup[ruleListKey(kind)] = entries;
  return backup.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

std::optional<RuleLists> parseRulesBackup(std::string_view text, std::string* error) {
  auto backup = nlohmann::json::parse(text, nullptr, false);
  if (backup.is_discarded()) {
    *error = "the backup is not valid JSON in UTF-8";
    return std::nullopt;
  }
  if (!backup.is_object()) {
    *error = "the backup is not a JSON object";
    return std::nullopt;
  }
  RuleLists lists;
  for (const auto& [key, value] : backup.items()) {
    auto kind = ruleListKindForKey(key);
    if (!kind) {
      *error = "unknown member \"" + key + "\"";
      return std::nullopt;
    }
    if (!value.is_array()) {
      *error = "\"" + key + "\" is not an array";
      return std::nullopt;
    }
    std::vector<std::string> entries;
    for (const auto& entry : value) {
      if (!entry.is_string() || entry.get_ref<const std::string&>().empty()) {
        *error = "\"" + key + "\" holds an element that is not a non-empty string";
        return std::nullopt;
      }
      entries.push_back(entry.get<std::string>());
    }
    lists[*kind] = std::move(entries);
  }
  return lists;
}

}  // namespace quell
