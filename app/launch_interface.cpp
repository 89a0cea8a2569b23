#include "app/launch_interface.h"

#include <QScreen>

#include "app/qb_settings_controller.h"
#include "app/view_controller.h"
#include "platform/ui/focus_ring.h"
#include "platform/ui/hud.h"
#include "platform/ui/image_resources.h"
#include "platform/ui/navigation_container.h"
#include "platform/ui/system_services.h"
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
