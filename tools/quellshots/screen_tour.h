// The screen tour: drives a fresh app window through its screens as a person would (taps, typing, swipes),
// in the light and then the dark appearance, and writes a PNG of each state, named after what it shows
// (main-light.png, editor-keyword-blacklist-dark.png, ...).
//
// Every step waits for the condition it needs (a screen presented and settled, the HUD showing, a scroll
// at rest) instead of for a fixed time, so a busy machine only makes the tour slower. When a condition
// does not come within its time limit, the tour stops and says on standard error what it waited for.
#pragma once

#include <QString>

namespace quell {

// True when every picture was written.
bool writeScreenTour(const QString& dir);

}  // namespace quell
