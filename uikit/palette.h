// The app's named colours. Each accessor returns a new colour: on a system with appearance-dependent
// colours, a dynamic colour that resolves to the dark variant in the dark appearance and to the light
// variant otherwise (unspecified included); elsewhere the light variant as a fixed colour.
//
//   qb_mainColor          light 2151D2           dark systemGray6Color
//   qb_backgroundColor    light EEF0F4           dark systemBackgroundColor
//   qb_systemGray5        light white            dark systemGray5Color
//   qb_systemGray6        light white            dark systemGray6Color
//   qb_systemBackground   light white            dark systemBackgroundColor
//   qb_label              light black            dark labelColor
//   qb_secondaryLabel     light 666666           dark secondaryLabelColor
//
// Every text colour reads at 4.5:1 or better on the surfaces it is used on, in both appearances.
#pragma once

#include <functional>
#include <optional>

#include "platform/ui/ui_color.h"

namespace quell {

UIColor qb_mainColor();
UIColor qb_backgroundColor();
UIColor qb_systemGray5();
UIColor qb_systemGray6();
UIColor qb_systemBackground();
UIColor qb_label();
UIColor qb_secondaryLabel();

// A colour with a light and an optional dark variant. Without dynamic colours: the light colour itself.
UIColor create(const UIColor& light, const std::optional<UIColor>& dark = std::nullopt);

// The same from functions, called afresh at every resolution (the style is not even read when there is no
// dark function). Without dynamic colours: the light function is called once, now, and its result returned.
using ColorFunction = std::function<UIColor()>;
UIColor create(ColorFunction light, ColorFunction dark = nullptr);

}  // namespace quell
