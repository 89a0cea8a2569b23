// Palette colours that follow the appearance: a widget's palette role set from a UIColor that may be
// dynamic, resolved each time the widget is drawn, so that a label or a field shows the right variant
// after a change of appearance, while it is on screen.
#pragma once

#include <QPalette>

#include "platform/ui/ui_color.h"

class QLabel;
class QLineEdit;
class QWidget;

namespace quell {

void setDynamicPaletteColor(QWidget* widget, QPalette::ColorRole role, const UIColor& color);

// A label's text colour.
void setTextColor(QLabel* label, const UIColor& color);

// A text field in the appearance's field colours: white with black text in light, a dark grey inset
// (1C1C1E) with white text in dark, and a grey placeholder that reads at 4.5:1 or better on either.
void setTextFieldColors(QLineEdit* field);

}  // namespace quell
