// The backup form of the rule lists: one JSON object whose members are store keys ("numberWhitelistKey",
// ...), each an array of strings. Built-in service numbers are never part of it.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/rule_store.h"

namespace quell {

using RuleLists = std::map<RuleListKind, std::vector<std::string>>;

std::string formatRulesBackup(const RuleLists& lists);

// Parses a backup. On any fault (not JSON, not an object, an unknown member, a value that is not an array
// of non-empty strings) returns nullopt and describes the fault in *error. Lists the backup does not name
// are absent from the result.
std::optional<RuleLists> parseRulesBackup(std::string_view text, std::string* error);

}  // namespace quell
