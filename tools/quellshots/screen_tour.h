// The screen tour: drives fresh app windows through their screens as a person would (taps, typing, swipes),
// in the light and then the dark appearance, each on a fresh settings store of its own (so the two sets of
// pictures show the same lists), and writes a PNG of each state, named after what it shows:
//  - the whole tour on a 375 x 812 window: main-light.png, editor-keyword-blacklist-dark.png, ...;
//  - the screens that must fit a phone, upright and sideways: main-360x720-light.png,
//    guide-720x360-dark.png, ...
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
