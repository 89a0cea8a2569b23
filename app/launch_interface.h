// The app's launch interface: a phone-sized window (375 x 812, or less where the screen has less room for
// windows; resizable) whose content is a navigation container with the main screen as its root; the shared
// HUD lives on this window. It starts the keyboard focus ring for the app. While it lives, the settings
// address opens the app's settings page (QBSettingsController) over the topmost screen.
#pragma once

#include <QWidget>

namespace quell {

class ViewController;
class NavigationContainer;

class LaunchInterface : public QWidget {
 public:
  LaunchInterface();
  ~LaunchInterface() override;
  ViewController* mainScreen() const { return main_; }
  NavigationContainer* container() const { return container_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void presentAppSettings();

  ViewController* main_;
  NavigationContainer* container_;
};

}  // namespace quell
