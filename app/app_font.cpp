#include "app/app_font.h"

#include <QStringList>

namespace quell {

QFont appFont() {
  QFont font;
  font.setFamilies(QStringList{"Noto Sans CJK SC", "sans-serif"});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(15);
  return font;
}

}  // namespace quell
