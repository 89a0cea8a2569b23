#include "platform/message_filter.h"

namespace quell {

const char* actionName(ILMessageFilterAction action) {
  switch (action) {
    case ILMessageFilterAction::None: return "none";
    case ILMessageFilterAction::Allow: return "allow";
    case ILMessageFilterAction::Junk: return "junk";
    case ILMessageFilterAction::Promotion: return "promotion";
    case ILMessageFilterAction::Transaction: return "transaction";
  }
  return "none";
}

}  // namespace quell
