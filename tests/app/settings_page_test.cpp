// The app's settings page, reached as a person reaches it (the guide's "前往设置") and used with taps and
// keys, against fakes of systemd's user manager and ModemManager on the tests' private buses.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include "app/qb_guide_page_controller.h"
#include "app/qb_settings_controller.h"
#include "engine/junk_deletion_setting.h"
#include "engine/rule_store.h"
#include "platform/ui/hud.h"
#include "platform/ui/navigation_container.h"
#include "platform/ui/switch.h"
#include "platform/user_defaults.h"
#include "tests/app/phone_services.h"
#include "tests/support/gui_driving.h"
#include "tests/support/launched_app.h"

namespace quell {
namespace {

using testing::FakeModemManager;
using testing::FakeSystemd;
using testing::waitFor;

class SettingsPage : public testing::LaunchedApp {
 protected:
  // main screen > "如何开启短信过滤" > "前往设置": the page, come to rest over the guide.
  QBSettingsController* open() {
    testing::tap(testing::functionRow(main(), "如何开启短信过滤"));
    guide_ = testing::settledOver<QBGuidePageController>(main());
    if (!guide_) return nullptr;
    testing::tap(testing::named<QPushButton>(guide_, "前往设置"));
    page_ = testing::settledOver<QBSettingsController>(guide_);
    return page_;
  }
  UISwitch* serviceSwitch() { return testing::named<UISwitch>(page_, "过滤收到的短信"); }
  UISwitch* deletionSwitch() { return testing::named<UISwitch>(page_, "从调制解调器删除垃圾短信"); }
  // Everything the page says, as one text.
  QString text() {
    QStringList shown;
    for (auto* label : page_->findChildren<QLabel*>())
      if (label->isVisible()) shown << label->text();
    return shown.join('\n');
  }
  bool says(const QString& words) {
    return waitFor([&] { return text().contains(words); });
  }

  QBGuidePageController* guide_ = nullptr;
  QBSettingsController* page_ = nullptr;
};

TEST_F(SettingsPage, WithoutSystemdOrModemManagerItSaysSoAndFindsThemWhenTheyStart) {
  ASSERT_TRUE(open());
  EXPECT_TRUE(says("此系统没有 systemd 用户服务管理器")) << qPrintable(text());
  EXPECT_TRUE(says("没有 ModemManager")) << qPrintable(text());
  ASSERT_TRUE(serviceSwitch());
  EXPECT_FALSE(serviceSwitch()->isEnabled());
  EXPECT_FALSE(serviceSwitch()->isOn());
  // Both start while the page is open: it finds them.
  FakeSystemd systemd({"--installed", "--enabled", "--active"});
  FakeModemManager modems;
  EXPECT_TRUE(says("已开启：quellmodem 正在过滤收到的短信")) << qPrintable(text());
  EXPECT_TRUE(says("已找到调制解调器")) << qPrintable(text());
  EXPECT_TRUE(serviceSwitch()->isOn());
  // "关闭" goes back to the guide.
  testing::tap(page_->navigationContainer()->rightBarButton());
  EXPECT_TRUE(waitFor([&] { return guide_->presentedViewController() == nullptr; }));
  EXPECT_EQ(main()->presentedViewController(), guide_);
}

TEST_F(SettingsPage, AServiceThatIsNotInstalledIsNamed) {
  FakeSystemd systemd({});
  ASSERT_TRUE(open());
  EXPECT_TRUE(says("没有安装 quellmodem 用户服务")) << qPrintable(text());
  EXPECT_FALSE(serviceSwitch()->isEnabled());
}

// Off, then on: the switch shows "on" only once systemd has enabled and started the unit, in that order;
// a second tap while the change runs does nothing; then off again.
TEST_F(SettingsPage, TheSwitchEnablesAndStartsThenStopsAndDisablesTheService) {
  FakeSystemd systemd({"--installed"});
  FakeModemManager modems;
  ASSERT_TRUE(open());
  ASSERT_TRUE(says("未开启：收到的短信不会被过滤")) << qPrintable(text());
  EXPECT_TRUE(says("已找到调制解调器")) << qPrintable(text());
  UISwitch* toggle = serviceSwitch();
  ASSERT_TRUE(toggle->isEnabled());
  EXPECT_FALSE(toggle->isOn());

  systemd.control("Hold", {"EnableUnitFiles"});
  testing::tap(toggle);
  ASSERT_TRUE(says("正在开启…")) << qPrintable(text());
  EXPECT_FALSE(toggle->isOn());  // asked for, not reached
  EXPECT_FALSE(toggle->isEnabled());
  testing::tap(toggle);  // a second tap meanwhile
  systemd.control("Release", {"EnableUnitFiles"});
  ASSERT_TRUE(says("已开启：quellmodem 正在过滤收到的短信")) << qPrintable(text());
  EXPECT_TRUE(toggle->isOn());
  EXPECT_TRUE(toggle->isEnabled());
  EXPECT_EQ(systemd.state(), std::make_pair(QString("enabled"), QString("active")));
  QStringList calls = systemd.calls();
  calls.removeAll("LoadUnit");
  calls.removeAll("GetUnitFileState");
  EXPECT_EQ(calls, QStringList({"Subscribe", "EnableUnitFiles", "Reload", "StartUnit"}));

  // With the keyboard only: the switch takes focus and Space asks for the other state.
  toggle->setFocus(Qt::TabFocusReason);
  QTest::keyClick(toggle, Qt::Key_Space);
  ASSERT_TRUE(says("未开启：收到的短信不会被过滤")) << qPrintable(text());
  EXPECT_FALSE(toggle->isOn());
  EXPECT_EQ(systemd.state(), std::make_pair(QString("disabled"), QString("inactive")));
  calls = systemd.calls();
  calls.removeAll("LoadUnit");
  calls.removeAll("GetUnitFileState");
  EXPECT_EQ(calls.mid(4), QStringList({"StopUnit", "DisableUnitFiles", "Reload"}));
}

// A refused enable shows the error, says which step failed, and the switch flips back to what is true.
TEST_F(SettingsPage, AFailingEnableShowsTheErrorAndTheSwitchStaysOff) {
  FakeSystemd systemd({"--installed"});
  ASSERT_TRUE(open());
  ASSERT_TRUE(says("未开启")) << qPrintable(text());
  systemd.control("Fail", {"EnableUnitFiles", "org.freedesktop.DBus.Error.AccessDenied", "Access denied"});
  testing::tap(serviceSwitch());
  EXPECT_TRUE(waitFor([] { return PKHUD::sharedHUD().isShowing(); }));
  EXPECT_EQ(PKHUD::sharedHUD().content(), PKHUD::Content::kError);
  EXPECT_EQ(PKHUD::sharedHUD().accessibilityLabel(), "开启失败");
  EXPECT_TRUE(says("上次操作失败：无法启用 quellmodem 服务")) << qPrintable(text());
  EXPECT_FALSE(serviceSwitch()->isOn());
  EXPECT_TRUE(serviceSwitch()->isEnabled());
  EXPECT_EQ(systemd.state(), std::make_pair(QString("disabled"), QString("inactive")));
  EXPECT_FALSE(systemd.calls().contains("StartUnit"));
}

// Enabled but the start job fails: the switch shows what was reached (enabled), the page says the service
// does not run, and it follows the service as it changes by itself.
TEST_F(SettingsPage, AFailedStartIsToldAndTheRunningStateIsFollowed) {
  FakeSystemd systemd({"--installed"});
  ASSERT_TRUE(open());
  ASSERT_TRUE(says("未开启")) << qPrintable(text());
  systemd.control("FailNextStart");
  testing::tap(serviceSwitch());
  EXPECT_TRUE(says("上次操作失败：quellmodem 服务启动失败")) << qPrintable(text());
  EXPECT_TRUE(says("已开启，但 quellmodem 启动失败")) << qPrintable(text());
  EXPECT_TRUE(serviceSwitch()->isOn());
  EXPECT_EQ(PKHUD::sharedHUD().content(), PKHUD::Content::kError);
  systemd.control("SetActiveState", {"active"});  // restarted by systemd
  EXPECT_TRUE(says("已开启：quellmodem 正在过滤收到的短信")) << qPrintable(text());
  systemd.control("SetActiveState", {"failed"});
  EXPECT_TRUE(says("已开启，但 quellmodem 启动失败")) << qPrintable(text());
}

TEST_F(SettingsPage, AMaskedServiceCannotBeSwitched) {
  FakeSystemd systemd({"--installed", "--masked"});
  ASSERT_TRUE(open());
  EXPECT_TRUE(says("quellmodem 服务已被屏蔽")) << qPrintable(text());
  EXPECT_FALSE(serviceSwitch()->isEnabled());
}

// ModemManager without a modem, a modem arriving, and ModemManager going away, as they happen.
TEST_F(SettingsPage, ModemManagerAndItsModemsAreFollowed) {
  FakeModemManager modems;
  modems.control("RemoveModem");
  ASSERT_TRUE(open());
  EXPECT_TRUE(says("ModemManager 正在运行，但没有找到调制解调器")) << qPrintable(text());
  modems.control("AddModem");
  EXPECT_TRUE(says("已找到调制解调器")) << qPrintable(text());
  modems.stop();
  EXPECT_TRUE(says("没有 ModemManager")) << qPrintable(text());
}

// The delete option writes the shared setting the bridge reads; a write that fails shows the error HUD and
// the switch keeps the stored state.
TEST_F(SettingsPage, TheDeleteOptionIsStoredAndAFailedWriteKeepsTheOldState) {
  ASSERT_TRUE(open());
  UISwitch* toggle = deletionSwitch();
  ASSERT_TRUE(toggle);
  EXPECT_FALSE(toggle->isOn());
  EXPECT_TRUE(says("未开启：垃圾短信只记入拦截记录")) << qPrintable(text());
  testing::tap(toggle);
  EXPECT_TRUE(deletesJunkFromModem());
  EXPECT_TRUE(toggle->isOn());
  EXPECT_TRUE(says("已开启：垃圾短信记入拦截记录后，从调制解调器删除")) << qPrintable(text());
  {
    testing::StoreWriteLock busy(UserDefaults::pathForDomain(AppGroupIdentifier));
    testing::tap(toggle);
    EXPECT_TRUE(PKHUD::sharedHUD().isShowing());
    EXPECT_EQ(PKHUD::sharedHUD().content(), PKHUD::Content::kError);
    EXPECT_EQ(PKHUD::sharedHUD().accessibilityLabel(), "设置未保存");
    EXPECT_TRUE(toggle->isOn());
  }
  EXPECT_TRUE(deletesJunkFromModem());
  toggle->setFocus(Qt::TabFocusReason);
  QTest::keyClick(toggle, Qt::Key_Space);
  EXPECT_FALSE(deletesJunkFromModem());
  EXPECT_FALSE(toggle->isOn());
}

}  // namespace
}  // namespace quell
