// Writes PNGs of the app's screens, in the light and the dark appearance, without showing a window. Each
// file is named after what it shows, e.g. main-light.png, editor-keyword-blacklist-dark.png.
#pragma once

#include <QString>

namespace quell {

// Drives a fresh window through the screens as a person would (taps, typing). False when a file could
// not be written.
bool writeScreenshots(const QString& dir);

}  // namespace quell
