#include "app/launch_interface.h"

#include "app/qb_settings_controller.h"
#include "app/view_controller.h"
#include "platform/ui/hud.h"
#include "platform/ui/navigation_container.h"
#include "platform/ui/system_services.h"
#include "platform/ui/trait_collection.h"

namespace quell {

LaunchInterface::LaunchInterface() : main_(new ViewController), container_(new NavigationContainer(main_, this)) {
  setWindowTitle("Quellbox");
  setWindowIcon(QIcon::fromTheme("quellbox"));
  resize(375, 812);
  PKHUD::setMainWindow(this);
  TraitCollection::followDesktopAppearance();
  setAppSettingsOpener([this] { presentAppSettings(); });
}

LaunchInterface::~LaunchInterface() { setAppSettingsOpener(nullptr); }

// As the settings app comes over whatever is on screen, the page comes over the topmost screen (the guide,
// when its "前往设置" asks), which is there again when the page closes.
void LaunchInterface::presentAppSettings() {
  UIViewController* top = main_;
  while (UIViewController* over = top->presentedViewController() ? screenOf(top->presentedViewController()) : nullptr)
    top = over;
  top->presentViewController(new NavigationContainer(new QBSettingsController), true);
}

void LaunchInterface::resizeEvent(QResizeEvent*) { container_->setGeometry(rect()); }

}  // namespace quell
