// Scrolling as on a phone, for any scroll area: a drag with a finger or the mouse moves the page, a flick
// lets it glide on and slow down (Qt's QScroller), and a thin indicator shows where in the page the view
// is while it scrolls.
//
// A drag is told apart from what the widgets on the page do with a press. Only a drag that moves mostly
// vertically, by more than a few pixels, on a page that can scroll, becomes a scroll; the pressed widget is
// then told that its press ended elsewhere, as Qt's own scroller tells it, so a row does not fire and a
// row being swiped snaps back. A drag that moves mostly sideways stays the widget's own (a swipe on a row
// to reveal "删除"). A press while the page glides stops it, and is not a tap. A touch reaches the page as
// the mouse events Qt makes of it, so fingers and the mouse scroll alike. Main thread only.
#pragma once

class QAbstractScrollArea;

namespace quell {

// From now on drags and flicks scroll `area` vertically, with a bounce at the ends when it can scroll.
void enableKineticScrolling(QAbstractScrollArea* area);

// From now on `area` shows a scroll indicator while it scrolls: a thin bar at its right edge, shown
// whenever the scroll position changes (a drag, a flick, the wheel, the keyboard) and for a moment after.
void showScrollIndicator(QAbstractScrollArea* area);

}  // namespace quell
