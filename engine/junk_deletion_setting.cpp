#include "engine/junk_deletion_setting.h"

#include "engine/rule_store.h"
#include "platform/user_defaults.h"

namespace quell {

bool deletesJunkFromModem() {
  auto defaults = UserDefaults::initWithSuiteName(AppGroupIdentifier);
  if (!defaults) return false;  // no store: keep junk on the modem
  auto value = defaults->objectForKey(kDeleteJunkFromModemKey);
  const bool* deletes = value ? value->get<bool>() : nullptr;
  return deletes && *deletes;
}

Status<StoreError> setDeletesJunkFromModem(bool deletes) {
  auto defaults = UserDefaults::initWithSuiteName(AppGroupIdentifier);
  if (!defaults)
    return {StoreError::kCannotOpen,
            "the shared store " + UserDefaults::pathForDomain(AppGroupIdentifier).string() + " cannot be opened"};
  return defaults->setObjectForKey(PropertyList(deletes), kDeleteJunkFromModemKey);
}

}  // namespace quell
