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
#include <functional>
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
// The name people and the command line know a list by: "number-whitelist", "number-blacklist",
// "keyword-whitelist" or "keyword-blacklist". Messages about a list name it so.
const char* ruleListName(RuleListKind kind);
// The kind whose key is `key`, or nullopt.
std::optional<RuleListKind> ruleListKindForKey(std::string_view key);

// Bank and service numbers that are always whitelisted: appended to every read of the number whitelist,
// never stored, never shown in the editor.
inline constexpr std::array<const char*, 15> BuiltInServiceNumbers = {"95566", "95599", "95588", "95533", "95555",
                                                                      "95559", "95595", "95568", "95580", "95526",
                                                                      "95516", "95511", "95577", "95558", "95527"};

// What a new installation holds in the four lists.
const std::vector<std::string>& DefaultRuleLists(RuleListKind kind);

// The entry a person typed, with white space (blanks, line breaks, U+3000) trimmed from both ends; nullopt
// when nothing is left, since a blank entry would match nearly every message. Editors store entries only
// through this; entries already stored are read as they are.
std::optional<std::string> typedRuleEntry(std::string_view typed);

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
  // Edits one list in a single write transaction: reads it, hands its entries to `edit`, and stores what
  // edit leaves when it returns true (false: nothing to store). Another writer's change can never fall
  // between the read and the write, so no edit is lost. A list that cannot be read is refused before
  // edit runs, so nothing stored is ever written over. Returns the list as stored afterwards. Fails
  // (kCannotOpen, kUnreadable, kBusy, kWriteFailed) with nothing changed.
  using ListEdit = std::function<bool(std::vector<std::string>& entries)>;
  static Result<std::vector<std::string>, StoreError> editList(RuleListKind kind, const ListEdit& edit);
  // Replaces the whole stored list, whatever it held. Fails (kCannotOpen, kBusy, kWriteFailed) with
  // nothing changed.
  static Status<StoreError> writeList(RuleListKind kind, const std::vector<std::string>& entries);
  // Gives a new store its default lists, once per store: each list that is absent from the store gets
  // DefaultRuleLists, and the same transaction records that this was done. A list that is present, even
  // empty or unreadable, is kept, and a store that holds the record is left as it is (success, nothing
  // written). So the app's first launch and the bridge's first start may both call it, in any order and
  // after any edits made with the command line, and no entry of the user's is ever overwritten.
  static Status<StoreError> seedDefaultListsOnce();
  // Replaces several lists in one transaction: all of them or none.
  static Status<StoreError> writeLists(const std::vector<std::pair<RuleListKind, std::vector<std::string>>>& lists);
};

}  // namespace quell
