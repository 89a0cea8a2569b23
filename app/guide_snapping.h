// Where the guide's card strip comes to rest after a drag: one card per flick, in its direction, or the
// nearest card when released without velocity. Computed in single precision, as the strip measures itself.
#pragma once

namespace quell {

struct GuideSnap {
  int page;
  float offsetX;  // page * pageWidth; the vertical offset is left as it was
};

// velocity: the release velocity (points per millisecond, positive forwards); proposedX: where the strip
// would come to rest by itself; currentPage: the card it rests on now; pageWidth: card width plus spacing;
// contentWidth: the strip's whole width; cardCount: the number of cards. The page never passes the last
// card nor goes below the first.
GuideSnap snapGuidePage(float velocity, float proposedX, int currentPage, float pageWidth, float contentWidth,
                        int cardCount);

}  // namespace quell
