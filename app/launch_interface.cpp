#include "app/launch_interface.h"

#include <QScreen>

#include "app/view_controller.h"
#include "platform/ui/focus_ring.h"
#include "platform/ui/hud.h"
#include "platform/ui/image_resources.h"
#include "platform/ui/navigation_container.h"
#include "platform/ui/trait_collection.h"

namespace quell {

LaunchInterface::LaunchInterface() : main_(new ViewController), container_(new NavigationContainer(main_, this)) {
  setWindowTitle("Quellbox");
  // The desktop's icon when Quellbox is installed; its own picture when it runs from a build tree.
  setWindowIcon(QIcon::fromTheme("quellbox", QIcon(QPixmap::fromImage(imageNamed("quellbox.png")))));
  QSize size(375, 812);
  if (QScreen* shownOn = screen()) size = size.boundedTo(shownOn->availableGeometry().size());
  resize(size);
  PKHUD::setMainWindow(this);
  TraitCollection::followDesktopAppearance();
  FocusRing::install();
}

void LaunchInterface::resizeEvent(QResizeEvent*) { container_->setGeometry(rect()); }

}  // namespace quell
