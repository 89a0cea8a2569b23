// The font of the app's text: Noto Sans CJK SC, which draws its Chinese, at 15 points; where it is not
// installed, the desktop's sans-serif font stands in (fontconfig picks one that has the characters, if any).
#pragma once

#include <QFont>

namespace quell {

QFont appFont();

}  // namespace quell
