#include "platform/ns_error.h"

namespace quell {

std::string NSError::description() const {
  return "Error Domain=" + domain + " Code=" + std::to_string(code) + " \"" + localizedDescription + "\"";
}

std::string describeError(const std::optional<NSError>& error) { return error ? error->description() : "(null)"; }

}  // namespace quell
