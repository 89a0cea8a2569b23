#include "app/guide_snapping.h"

#include <algorithm>
#include <cmath>

namespace quell {

GuideSnap snapGuidePage(float velocity, float proposedX, int currentPage, float pageWidth, float contentWidth,
                        int cardCount) {
  float page;
  if (velocity == 0.0f) {
    page = std::floor((proposedX - pageWidth / 2.0f) / pageWidth) + 1.0f;  // the nearest card; a tie goes up
  } else {
    float next = static_cast<float>(velocity > 0 ? currentPage + 1 : currentPage - 1);
    if (next < 0)
      page = 0;
    else if (contentWidth / pageWidth < next)
      page = std::ceil(contentWidth / pageWidth) - 1.0f;
    else
      page = next;
  }
  // The strip's measure can leave room for one card more than there are; resting there would show an
  // empty strip, so the page stays on the cards.
  int snapped = std::clamp(static_cast<int>(page), 0, std::max(0, cardCount - 1));
  return {snapped, static_cast<float>(snapped) * pageWidth};
}

}  // namespace quell
