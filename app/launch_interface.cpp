#include "app/launch_interface.h"

#include "app/view_controller.h"
#include "platform/ui/hud.h"
#include "platform/ui/navigation_container.h"
#include "platform/ui/trait_collection.h"

namespace quell {

LaunchInterface::LaunchInterface() : main_(new ViewController), container_(new NavigationContainer(main_, this)) {
  setWindowTitle("Quellbox");
  setWindowIcon(QIcon::fromTheme("quellbox"));
  resize(375, 812);
  PKHUD::setMainWindow(this);
  TraitCollection::followDesktopAppearance();
}

void LaunchInterface::resizeEvent(QResizeEvent*) { container_->setGeometry(rect()); }

}  // namespace quell
