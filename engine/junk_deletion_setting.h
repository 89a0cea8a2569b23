// Whether the SMS bridge deletes junk from the modem once it is recorded: a setting of the shared store,
// beside the rule lists, so that the companion app can switch it and the bridge follows at its next message.
//
// Reading never fails: a store that cannot be opened, an absent value and an unreadable one all read as
// false (junk is recorded and left on the modem, which loses nothing).
#pragma once

#include "platform/status.h"
#include "platform/store_error.h"

namespace quell {

// The settings key, in the store of AppGroupIdentifier.
inline constexpr const char* kDeleteJunkFromModemKey = "deleteJunkFromModemKey";

bool deletesJunkFromModem();
// Fails (kCannotOpen, kBusy, kWriteFailed) with nothing changed.
Status<StoreError> setDeletesJunkFromModem(bool deletes);

}  // namespace quell
