// The soft look for text fields: no frame, the text inset by a margin on both sides, and a rounded face in
// the field's background colour (white when it has none) with the two shadows.
//
// For every QLineEdit whose `active` was set to true, the application-wide event filter
// (neumorphic_hooks.h) styles the field when it is first polished (loaded) and on every layout request;
// layoutIfNeeded does the same on demand. Main thread only.
#pragma once

#include "uikit/style_property.h"

class QLineEdit;

namespace quell {

// Reads 0 until the first styling, which stores 20 when it was never set.
inline constexpr StyleProperty<double> horizontalMargin{"horizontalMargin", 0};

void applyTextFieldStyle(QLineEdit* field);
// Styles the field if its `active` was set to true; otherwise does nothing at all.
void layoutIfNeeded(QLineEdit* field);

}  // namespace quell
