#include "engine/rule_store.h"

#include <map>

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

namespace {

Failure<StoreError> noStore() {
  return {StoreError::kCannotOpen,
          "the rule store " + UserDefaults::pathForDomain(AppGroupIdentifier).string() + " cannot be opened"};
}

Failure<StoreError> unreadable(RuleListKind kind, const char* why) {
  return {StoreError::kUnreadable, std::string("the list ") + ruleListKey(kind) + " " + why};
}

}  // namespace

Result<std::vector<std::string>, StoreError> RuleStore::readStoredList(RuleListKind kind) {
  auto defaults = UserDefaults::initWithSuiteName(AppGroupIdentifier);
  if (!defaults) return noStore();
  auto stored = defaults->storedObjectForKey(ruleListKey(kind));
  if (stored.state == StoredObject::State::kAbsent) return std::vector<std::string>();
  if (stored.state == StoredObject::State::kUnreadable) return unreadable(kind, "cannot be decoded");
  auto* array = stored.value.get<PropertyListArray>();
  if (!array) return unreadable(kind, "is not an array");
  std::vector<std::string> entries;
  entries.reserve(array->size());
  for (auto& element : *array) {
    auto* s = element.get<std::string>();
    if (!s) return unreadable(kind, "holds something other than text");  // all or nothing: none is skipped
    entries.push_back(std::move(*s));
  }
  return entries;
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

Status<StoreError> RuleStore::seedDefaultListsOnce() {
  // Not one of the lists: the record that the defaults were written.
  static constexpr const char* kSeededKey = "defaultListsSeededKey";
  auto defaults = UserDefaults::initWithSuiteName(AppGroupIdentifier);
  if (!defaults) return noStore();
  if (defaults->storedObjectForKey(kSeededKey).state != StoredObject::State::kAbsent) return {};
  std::map<std::string, PropertyList> values;
  for (auto kind : kAllRuleListKinds) values[ruleListKey(kind)] = PropertyList::stringArray(DefaultRuleLists(kind));
  values[kSeededKey] = PropertyList(true);
  return defaults->setObjectsForKeys(values);
}

Status<StoreError> RuleStore::writeLists(const std::vector<std::pair<RuleListKind, std::vector<std::string>>>& lists) {
  auto defaults = UserDefaults::initWithSuiteName(AppGroupIdentifier);
  if (!defaults) return noStore();  // no store: nothing is written
  std::map<std::string, PropertyList> values;
  for (const auto& [kind, entries] : lists) values[ruleListKey(kind)] = PropertyList::stringArray(entries);
  return defaults->setObjectsForKeys(values);
}

}  // namespace quell
