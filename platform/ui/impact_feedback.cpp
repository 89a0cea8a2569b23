#include "platform/ui/impact_feedback.h"

namespace quell {

namespace {
std::vector<int>& fired() {
  static std::vector<int> impacts;
  return impacts;
}
}  // namespace

void UIImpactFeedbackGenerator::impactOccurred() { fired().push_back(style_); }
const std::vector<int>& UIImpactFeedbackGenerator::firedImpacts() { return fired(); }
void UIImpactFeedbackGenerator::clearFiredImpacts() { fired().clear(); }

}  // namespace quell
