// The user's four rule lists, shared by the app (which writes them) and the filter (which reads them).
//
// The lists live in the settings domain of the app group AppGroupIdentifier, one array of strings per key.
// Every read goes to the store, so a change made by the app applies to the filter's next read. Every write
// replaces a whole list, so a reader sees the old or the new list, never a mixture.
//
// Reading never fails: a store that cannot be opened, a missing value, a value that is not an array and an
// array holding anything but strings all read as an empty list (the number whitelist then holds only the
// built-in service numbers).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"
#include "platform/store_error.h"

namespace quell {

inline constexpr const char* AppGroupIdentifier = "group.app.quell.shared";

// The four lists, numbered in the order in which the filter tests them.
enum class RuleListKind : int {
  NumberWhitelist = 0,
  NumberBlacklist = 1,
  KeywordWhitelist = 2,
  KeywordBlacklist = 3,
};

inline constexpr std::array<RuleListKind, 4> kAllRuleListKinds = {
    RuleListKind::NumberWhitelist, RuleListKind::NumberBlacklist, RuleListKind::KeywordWhitelist,
    RuleListKind::KeywordBlacklist};

// The settings key of a list: "numberWhitelistKey", "numberBlacklistKey", "keywordWhitelistKey" or
// "keywordBlacklistKey".
const char* ruleListKey(RuleListKind kind);
// The kind whose key is `key`, or nullopt.
std::optional<RuleListKind> ruleListKindForKey(std::string_view key);

// Bank and service numbers that are always whitelisted: appended to every read of the number whitelist,
// never stored, never shown in the editor.
inline constexpr std::array<const char*, 15> BuiltInServiceNumbers = {"95566", "95599", "95588", "95533", "95555",
                                                                      "95559", "95595", "95568", "95580", "95526",
                                                                      "95516", "95511", "95577", "95558", "95527"};

// What the app writes to the four lists on its first launch.
const std::vector<std::string>& DefaultRuleLists(RuleListKind kind);

// The effective list of a kind: the stored entries in order, plus BuiltInServiceNumbers for the number
// whitelist. Reads the store afresh on every call.
std::vector<std::string> loadRuleList(RuleListKind kind);

// Access to the stored lists for the programs that edit them.
class RuleStore {
 public:
  // The stored entries of one list (no built-in numbers); empty under the same rules as loadRuleList.
  static std::vector<std::string> storedList(RuleListKind kind);
  // Like storedList, but tells an unreadable list apart: kCannotOpen when the store cannot be opened,
  // kUnreadable when the stored bytes cannot be decoded or the stored value is not an array of strings. An
  // absent value is an empty list. Editors change only a list read this way, so that they never write
  // over what they could not read.
  static Result<std::vector<std::string>, StoreError> readStoredList(RuleListKind kind);
  // Replaces the whole stored list. Fails (kCannotOpen, kBusy, kWriteFailed) with nothing changed.
  static Status<StoreError> writeList(RuleListKind kind, const std::vector<std::string>& entries);
  // Writes DefaultRuleLists over the four lists, once per store: the same transaction records that it was
  // done, and a store that holds that record is left as it is (success, nothing written). So however often
  // a caller takes itself for a first launch, the user's edits are overwritten at most once.
  static Status<StoreError> seedDefaultListsOnce();
  // Replaces several lists in one transaction: all of them or none.
  static Status<StoreError> writeLists(const std::vector<std::pair<RuleListKind, std::vector<std::string>>>& lists);
};

}  // namespace quell
