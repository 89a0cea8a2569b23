// QBSettingsController: the app's own page of settings, where a phone would show the app's page in the
// system settings ("前往设置" in the guide opens it). It tells whether the filter works on the SMS this
// machine receives, and switches it:
//  - "过滤收到的短信": the quellmodem user service under systemd's user manager, whether it is enabled and
//    running; its switch enables and starts the service, or stops and disables it;
//  - "ModemManager": whether ModemManager runs and has a modem, through which the service receives SMS;
//  - "从调制解调器删除垃圾短信": whether the service deletes junk from the modem once it is recorded (the
//    setting in the shared store).
// A switch shows only what was reached: it follows the service manager's or the store's answer, and a
// change that fails shows the error HUD, says which step failed, and leaves the switch as things stand.
// Without a systemd user manager or without ModemManager, the page says so. It lives in its own
// navigation container; "关闭" closes it.
#pragma once

#include <QLabel>
#include <optional>

#include "platform/systemd_user_unit.h"
#include "platform/ui/view_controller.h"

namespace quell {

class ModemManagerProbe;
class UIScrollView;
class UISwitch;

// The user unit the switch controls, as the package installs it (share/systemd/user).
inline constexpr const char* kModemBridgeUnit = "quellmodem.service";

class QBSettingsController : public UIViewController {
  Q_OBJECT

 public:
  explicit QBSettingsController(QWidget* parent = nullptr);

 protected:
  void viewDidLoad() override;
  void viewWillAppear() override;
  void resizeEvent(QResizeEvent* event) override;

 private slots:
  void closeDismiss();
  void serviceToggleRequested(bool on);
  void serviceChangeFinished(const std::optional<SystemdUserUnit::Failure>& failure);
  void deletionToggleRequested(bool on);

 private:
  // One titled group of the page: a title, an optional switch beside it, and a text below.
  struct Group {
    QLabel* header = nullptr;
    QWidget* face = nullptr;
    QLabel* title = nullptr;
    UISwitch* toggle = nullptr;
    QLabel* detail = nullptr;
  };
  Group makeGroup(const QString& header, const QString& title, bool withSwitch);
  void showServiceState();
  void showModemState();
  void showDeletionState();
  // The page's geometry, from its width: the groups stacked, each as tall as its texts need.
  void layoutPage();

  UIScrollView* scrollView_ = nullptr;
  Group service_, modem_, deletion_;
  SystemdUserUnit* unit_ = nullptr;
  ModemManagerProbe* modems_ = nullptr;
  bool enabling_ = false;  // the change that runs turns the service on
  QString lastFailure_;    // what the last change of the service could not do, until the next change
};

}  // namespace quell
