#include "app/qb_settings_controller.h"

#include <QDBusConnection>

#include "app/grouped_face.h"
#include "app/page_title_bar.h"
#include "engine/junk_deletion_setting.h"
#include "platform/modem_manager_probe.h"
#include "platform/ui/dynamic_palette.h"
#include "platform/ui/hud.h"
#include "platform/ui/navigation_container.h"
#include "platform/ui/scroll_view.h"
#include "platform/ui/switch.h"
#include "platform/ui/view_background.h"
#include "uikit/palette.h"

namespace quell {

namespace {

constexpr int kMargin = 16, kPadding = 16, kMaxContentWidth = 600, kHudMs = 1500;

// Secondary text dark enough to read on the faces in both appearances (over 4.5:1).
UIColor detailColor() { return create(UIColor(QColor(0x5E, 0x5E, 0x63)), UIColor(QColor(0xAE, 0xAE, 0xB2))); }

QLabel* makeLabel(QWidget* parent, int pixelSize, const UIColor& color) {
  auto* label = new QLabel(parent);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  QFont font = label->font();
  font.setPixelSize(pixelSize);
  label->setFont(font);
  setTextColor(label, color);
  return label;
}

void showErrorHud(const QString& accessibilityLabel) {
  PKHUD& hud = PKHUD::sharedHUD();
  hud.setContentView(PKHUD::Content::kError);
  hud.setAccessibilityLabel(accessibilityLabel);
  hud.show();
  hud.hide(kHudMs);
}

QString failedStepText(SystemdUserUnit::Step step) {
  switch (step) {
    case SystemdUserUnit::Step::kEnable: return "无法启用 quellmodem 服务";
    case SystemdUserUnit::Step::kReload: return "systemd 无法重新载入服务配置";
    case SystemdUserUnit::Step::kStart: return "quellmodem 服务启动失败";
    case SystemdUserUnit::Step::kStop: return "无法停止 quellmodem 服务";
    case SystemdUserUnit::Step::kDisable: return "无法停用 quellmodem 服务";
  }
  return {};
}

QString serviceText(const SystemdUserUnit::State& state, bool changing, bool enabling) {
  using Availability = SystemdUserUnit::Availability;
  switch (state.availability) {
    case Availability::kChecking: return "正在查询 quellmodem 服务…";
    case Availability::kNoBus: return "没有 D-Bus 会话总线，无法查询或开启 quellmodem 服务。";
    case Availability::kNoManager:
      return "此系统没有 systemd 用户服务管理器，无法在这里开启短信过滤。请用系统自己的服务管理方式运行 quellmodem。";
    case Availability::kNotInstalled:
      return "没有安装 quellmodem 用户服务（quellmodem.service），请安装 quell 软件包。";
    case Availability::kUnreadable: return "无法查询 quellmodem 服务：systemd 用户服务管理器返回了错误。";
    case Availability::kAvailable: break;
  }
  if (changing) return enabling ? "正在开启…" : "正在关闭…";
  if (state.masked()) return "quellmodem 服务已被屏蔽，无法开启。请先运行 systemctl --user unmask quellmodem。";
  if (state.enabled()) {
    if (state.running()) return "已开启：quellmodem 正在过滤收到的短信，登录后自动运行。";
    if (state.activeState == "activating") return "已开启：quellmodem 正在启动…";
    if (state.activeState == "failed") return "已开启，但 quellmodem 启动失败，没有在运行。";
    return "已开启，但 quellmodem 没有在运行。";
  }
  if (state.running()) return "quellmodem 正在运行，但没有开启自动运行。";
  return "未开启：收到的短信不会被过滤。";
}

QString modemText(const ModemManagerProbe& probe) {
  using Status = ModemManagerProbe::Status;
  switch (probe.status()) {
    case Status::kChecking: return "正在查询 ModemManager…";
    case Status::kNoBus: return "没有 D-Bus 系统总线，无法查询 ModemManager。";
    case Status::kAbsent:
      return "没有 ModemManager：quellmodem 通过 ModemManager 接收短信。请安装并启动 ModemManager（modemmanager 软件包）。";
    case Status::kUnreadable: return "无法查询 ModemManager：它返回了错误。";
    case Status::kRunning: break;
  }
  const auto& modems = probe.modems();
  if (modems.isEmpty()) return "ModemManager 正在运行，但没有找到调制解调器。";
  if (modems.size() > 1) return QString("已找到 %1 个调制解调器。").arg(modems.size());
  return modems.front().name.isEmpty() ? QString("已找到调制解调器。")
                                       : QString("已找到调制解调器：%1。").arg(modems.front().name);
}

}  // namespace

QBSettingsController::QBSettingsController(QWidget* parent) : UIViewController(parent) { setTitle("设置"); }

void QBSettingsController::viewDidLoad() {
  setBackgroundColor(this, qb_backgroundColor());
  if (QPushButton* close = setUpClosablePageBar(this))
    connect(close, &QPushButton::clicked, this, &QBSettingsController::closeDismiss);
  scrollView_ = new UIScrollView(this);
  scrollView_->setBackgroundColor(qb_backgroundColor());
  service_ = makeGroup("短信过滤", "过滤收到的短信", true);
  modem_ = makeGroup("调制解调器", "ModemManager", false);
  deletion_ = makeGroup("垃圾短信", "从调制解调器删除垃圾短信", true);
  connect(service_.toggle, &UISwitch::toggleRequested, this, &QBSettingsController::serviceToggleRequested);
  connect(deletion_.toggle, &UISwitch::toggleRequested, this, &QBSettingsController::deletionToggleRequested);

  unit_ = new SystemdUserUnit(QDBusConnection::sessionBus(), kModemBridgeUnit, this);
  connect(unit_, &SystemdUserUnit::stateChanged, this, &QBSettingsController::showServiceState);
  connect(unit_, &SystemdUserUnit::changeFinished, this, &QBSettingsController::serviceChangeFinished);
  modems_ = new ModemManagerProbe(QDBusConnection::systemBus(), this);
  connect(modems_, &ModemManagerProbe::changed, this, &QBSettingsController::showModemState);
  showServiceState();
  showModemState();
  scrollView_->show();
}

void QBSettingsController::viewWillAppear() {
  if (deletion_.toggle) showDeletionState();
}

QBSettingsController::Group QBSettingsController::makeGroup(const QString& header, const QString& title,
                                                            bool withSwitch) {
  QWidget* page = scrollView_->contentView();
  Group group;
  group.header = makeLabel(page, 13, detailColor());
  group.header->setText(header);
  group.face = new GroupedFace(page);
  group.title = makeLabel(group.face, 17, qb_label());
  group.title->setText(title);
  group.detail = makeLabel(group.face, 15, detailColor());
  if (withSwitch) {
    group.toggle = new UISwitch(group.face);
    group.toggle->setAccessibleName(title);
  }
  return group;
}

void QBSettingsController::layoutPage() {
  if (!scrollView_) return;
  scrollView_->setGeometry(rect());
  const int contentWidth = std::min(width() - 2 * kMargin, kMaxContentWidth);
  const int left = (width() - contentWidth) / 2;
  int y = kMargin;
  for (const Group* group : {&service_, &modem_, &deletion_}) {
    const int headerHeight = group->header->heightForWidth(contentWidth - 2 * kPadding);
    group->header->setGeometry(left + kPadding, y, contentWidth - 2 * kPadding, headerHeight);
    y += headerHeight + 6;
    const int switchRoom = group->toggle ? UISwitch::kWidth + 12 : 0;
    const int titleWidth = contentWidth - 2 * kPadding - switchRoom;
    const int titleHeight = std::max(group->title->heightForWidth(titleWidth), group->toggle ? UISwitch::kHeight : 0);
    group->title->setGeometry(kPadding, kPadding, titleWidth, titleHeight);
    if (group->toggle)
      group->toggle->setGeometry(contentWidth - kPadding - UISwitch::kWidth,
                                 kPadding + (titleHeight - UISwitch::kHeight) / 2, UISwitch::kWidth, UISwitch::kHeight);
    const int detailWidth = contentWidth - 2 * kPadding;
    const int detailHeight = group->detail->heightForWidth(detailWidth);
    group->detail->setGeometry(kPadding, kPadding + titleHeight + 6, detailWidth, detailHeight);
    const int faceHeight = kPadding + titleHeight + 6 + detailHeight + kPadding;
    group->face->setGeometry(left, y, contentWidth, faceHeight);
    y += faceHeight + 24;
  }
  scrollView_->setContentSize(QSize(0, y));
}

void QBSettingsController::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layoutPage();
}

void QBSettingsController::showServiceState() {
  const SystemdUserUnit::State& state = unit_->state();
  QString text = serviceText(state, unit_->isChanging(), enabling_);
  if (!lastFailure_.isEmpty()) text += "\n上次操作失败：" + lastFailure_ + "。";
  service_.detail->setText(text);
  service_.toggle->setOn(state.enabled());
  service_.toggle->setEnabled(state.availability == SystemdUserUnit::Availability::kAvailable && !state.masked() &&
                              !unit_->isChanging());
  service_.toggle->setAccessibleDescription(text);
  layoutPage();
}

void QBSettingsController::showModemState() {
  modem_.detail->setText(modemText(*modems_));
  layoutPage();
}

void QBSettingsController::showDeletionState() {
  const bool deletes = deletesJunkFromModem();
  deletion_.toggle->setOn(deletes);
  deletion_.detail->setText(deletes ? "已开启：垃圾短信记入拦截记录后，从调制解调器删除。"
                                    : "未开启：垃圾短信只记入拦截记录，仍留在调制解调器上。");
  deletion_.toggle->setAccessibleDescription(deletion_.detail->text());
  layoutPage();
}

void QBSettingsController::serviceToggleRequested(bool on) {
  if (unit_->isChanging()) return;
  enabling_ = on;
  lastFailure_.clear();
  if (on)
    unit_->enableAndStart();
  else
    unit_->stopAndDisable();
}

void QBSettingsController::serviceChangeFinished(const std::optional<SystemdUserUnit::Failure>& failure) {
  if (failure) {
    lastFailure_ = failedStepText(failure->step);
    showErrorHud(enabling_ ? "开启失败" : "关闭失败");
  }
  showServiceState();
}

void QBSettingsController::deletionToggleRequested(bool on) {
  auto written = setDeletesJunkFromModem(on);
  if (!written) {
    qWarning("the junk deletion setting was not written: %s", written.message().c_str());
    showErrorHud("设置未保存");
  }
  showDeletionState();  // as stored: the old state when the write failed
}

void QBSettingsController::closeDismiss() {
  if (navigationContainer()) dismissViewController(true);
}

}  // namespace quell
