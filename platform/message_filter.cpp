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

std::string NSError::description() const {
  return "Error Domain=" + domain + " Code=" + std::to_string(code) + " \"" + localizedDescription + "\"";
}

std::string describeError(const std::optional<NSError>& error) {
  return error ? error->description() : "(null)";
}

}  // namespace quell
