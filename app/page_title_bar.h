// The title bar of a page that comes in its own navigation container and closes itself (the common
// problems, the settings): a large title on the page's colour, no hairline, and "关闭" on the right, which
// Escape presses too.
#pragma once

class QPushButton;

namespace quell {

class UIViewController;

// Returns the "关闭" button, for the page to connect; nullptr when the page is not a container's root.
QPushButton* setUpClosablePageBar(UIViewController* page);

}  // namespace quell
