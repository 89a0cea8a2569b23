#include "app/page_title_bar.h"

#include "platform/ui/navigation_container.h"
#include "platform/ui/view_controller.h"
#include "uikit/palette.h"

namespace quell {

QPushButton* setUpClosablePageBar(UIViewController* page) {
  NavigationContainer* container = page->navigationContainer();
  if (!container) return nullptr;
  container->setBarBackgroundColor(qb_backgroundColor());
  container->setShowsHairline(false);
  container->setPrefersLargeTitles(true);
  QPushButton* close = container->setRightBarButton("关闭", true);
  page->setEscapeButton(close);
  return close;
}

}  // namespace quell
