// The background colour of a view, as the phone's toolkit has it: the colour of the view's root layer,
// drawn below everything the view draws. nullopt is "no background colour" (nothing is filled), which
// differs from a transparent colour.
#pragma once

#include <optional>

#include "platform/ui/ui_color.h"

class QWidget;

namespace quell {

std::optional<UIColor> backgroundColor(QWidget* view);
void setBackgroundColor(QWidget* view, std::optional<UIColor> color);

}  // namespace quell
