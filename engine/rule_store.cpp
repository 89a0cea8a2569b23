#include "engine/rule_store.h"

#include <map>

#include "platform/unicode_text.h"
#include "platform/user_defaults.h"

namespace quell {

const char* ruleListKey(RuleListKind kind) {
  switch (kind) {
    case RuleListKind::NumberWhitelist: return "numberWhitelistKey";
    case RuleListKind::NumberBlacklist: return "numberBlacklistKey";
    case RuleListKind::KeywordWhitelist: return "keywordWhitelistKey";
    case RuleListKind::KeywordBlacklist: return "keywordBlacklistKey";
  }
  return "";
}

const char* ruleListName(RuleListKind kind) {
  switch (kind) {
    case RuleListKind::NumberWhitelist: return "number-whitelist";
    case RuleListKind::NumberBlacklist: return "number-blacklist";
    case RuleListKind::KeywordWhitelist: return "keyword-whitelist";
    case RuleListKind::KeywordBlacklist: return "keyword-blacklist";
  }
  return "";
}

std::optional<RuleListKind> ruleListKindForKey(std::string_view key) {
  for (auto kind : kAllRuleListKinds)
    if (key == ruleListKey(kind)) return kind;
  return std::nullopt;
}

const std::vector<std::string>& DefaultRuleLists(RuleListKind kind) {
  static const std::vector<std::string> lists[4] = {
      {"10086", "12306", "10000", "10010"},
      {"106550258080236184", "10655025170104488"},
      {"验证码", "转账", "余额", "快递", "取件码"},
      {"退订", "TD", "回T", "双十一", "双11", "澳门", "贷款"},
  };
  return lists[static_cast<int>(kind)];
}

std::optional<std::string> typedRuleEntry(std::string_view typed) {
  std::string_view trimmed = trimWhiteSpace(typed);
  if (trimmed.empty()) return std::nullopt;
  return std::string(trimmed);
}

namespace {

Failure<StoreError> noStore() {
  return {StoreError::kCannotOpen,
          "the rule store " + UserDefaults::pathForDomain(AppGroupIdentifier).string() + " cannot be opened"};
}

Failure<StoreError> unreadable(RuleListKind kind, const char* why) {
  return {StoreError::kUnreadable, std::string("the list ") + ruleListName(kind) + " cannot be read: " + why};
}

// The entries of a stored value, or why they cannot be read. An absent value is an empty list.
Result<std::vector<std::string>, StoreError> entriesOf(RuleListKind kind, const StoredObject& stored) {
  if (stored.state == StoredObject::State::kAbsent) return std::vector<std::string>();
  if (stored.state == StoredObject::State::kUnreadable) return unreadable(kind, "its stored bytes do not decode");
  const auto* array = stored.value.get<PropertyListArray>();
  if (!array) return unreadable(kind, "it is not a list");
  std::vector<std::string> entries;
  entries.reserve(array->size());
  for (const auto& element : *array) {
    const auto* s = element.get<std::string>();
    if (!s) return unreadable(kind, "it holds something other than text");  // all or nothing: none is skipped
    entries.push_back(*s);
  }
  return entries;
}

}  // namespace

Result<std::vector<std::string>, StoreError> RuleStore::readStoredList(RuleListKind kind) {
  auto defaults = UserDefaults::initWithSuiteName(AppGroupIdentifier);
  if (!defaults) return noStore();
  return entriesOf(kind, defaults->storedObjectForKey(ruleListKey(kind)));
}

std::vector<std::string> RuleStore::storedList(RuleListKind kind) {
  // No store, a value that is not an array, or an array holding anything but strings: the list reads
  // as empty.
  auto list = readStoredList(kind);
  return list ? std::move(*list) : std::vector<std::string>();
}

std::vector<std::string> loadRuleList(RuleListKind kind) {
  auto entries = RuleStore::storedList(kind);
  if (kind == RuleListKind::NumberWhitelist)
    entries.insert(entries.end(), BuiltInServiceNumbers.begin(), BuiltInServiceNumbers.end());
  return entries;
}

Status<StoreError> RuleStore::writeList(RuleListKind kind, const std::vector<std::string>& entries) {
  return writeLists({{kind, entries}});
}

Result<std::vector<std::string>, StoreError> RuleStore::editList(RuleListKind kind, const ListEdit& edit) {
  auto defaults = UserDefaults::initWithSuiteName(AppGroupIdentifier);
  if (!defaults) return noStore();
  const std::string key = ruleListKey(kind);
  std::vector<std::string> result;
  auto edited = defaults->editObjectsForKeys(
      {key},
      [&](const std::map<std::string, StoredObject>& stored)
          -> Result<std::map<std::string, PropertyList>, StoreError> {
        auto entries = entriesOf(kind, stored.at(key));
        if (!entries) return entries.failure();
        result = *entries;
        if (!edit(result)) {
          result = std::move(*entries);  // what edit did to its copy is not stored
          return std::map<std::string, PropertyList>();
        }
        return std::map<std::string, PropertyList>{{key, PropertyList::stringArray(result)}};
      });
  if (!edited) return edited.failure();
  return result;
}

Status<StoreError> RuleStore::seedDefaultListsOnce() {
  // Not one of the lists: the record that the defaults were given.
  static constexpr const char* kSeededKey = "defaultListsSeededKey";
  auto defaults = UserDefaults::initWithSuiteName(AppGroupIdentifier);
  if (!defaults) return noStore();
  std::vector<std::string> keys = {kSeededKey};
  for (auto kind : kAllRuleListKinds) keys.push_back(ruleListKey(kind));
  return defaults->editObjectsForKeys(
      keys,
      [](const std::map<std::string, StoredObject>& stored) -> Result<std::map<std::string, PropertyList>, StoreError> {
        std::map<std::string, PropertyList> values;
        if (stored.at(kSeededKey).state != StoredObject::State::kAbsent) return values;
        for (auto kind : kAllRuleListKinds)
          if (stored.at(ruleListKey(kind)).state == StoredObject::State::kAbsent)
            values[ruleListKey(kind)] = PropertyList::stringArray(DefaultRuleLists(kind));
        values[kSeededKey] = PropertyList(true);
        return values;
      });
}

Status<StoreError> RuleStore::writeLists(const std::vector<std::pair<RuleListKind, std::vector<std::string>>>& lists) {
  auto defaults = UserDefaults::initWithSuiteName(AppGroupIdentifier);
  if (!defaults) return noStore();  // no store: nothing is written
  std::map<std::string, PropertyList> values;
  for (const auto& [kind, entries] : lists) values[ruleListKey(kind)] = PropertyList::stringArray(entries);
  return defaults->setObjectsForKeys(values);
}

}  // namespace quell
