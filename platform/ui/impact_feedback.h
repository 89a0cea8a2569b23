// UIImpactFeedbackGenerator: haptic feedback for a tap. A desktop has no vibration motor, so each impact is
// recorded (and a phone build could drive its motor here); tests read what fired. Main thread only.
#pragma once

#include <vector>

namespace quell {

class UIImpactFeedbackGenerator {
 public:
  // The style is taken as given, even outside the five known values.
  explicit UIImpactFeedbackGenerator(int style) : style_(style) {}
  void impactOccurred();

  // Every impact fired in this process, in order, by style value.
  static const std::vector<int>& firedImpacts();
  static void clearFiredImpacts();

 private:
  int style_;
};

}  // namespace quell
