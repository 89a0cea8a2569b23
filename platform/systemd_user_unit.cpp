#include "platform/systemd_user_unit.h"

#include "dbus_properties_proxy.h"
#include "platform/dbus_reply.h"
#include "platform/dbus_types.h"
#include "systemd_manager_proxy.h"

namespace quell {

namespace {

constexpr const char* kService = "org.freedesktop.systemd1";
constexpr const char* kManagerPath = "/org/freedesktop/systemd1";
constexpr const char* kUnitInterface = "org.freedesktop.systemd1.Unit";
// A start job still running after this long is left to run; the unit's ActiveState shows how it goes.
constexpr int kStartPatienceMs = 30000;

const char* stepName(SystemdUserUnit::Step step) {
  switch (step) {
    case SystemdUserUnit::Step::kEnable: return "EnableUnitFiles";
    case SystemdUserUnit::Step::kReload: return "Reload";
    case SystemdUserUnit::Step::kStart: return "StartUnit";
    case SystemdUserUnit::Step::kStop: return "StopUnit";
    case SystemdUserUnit::Step::kDisable: return "DisableUnitFiles";
  }
  return "";
}

}  // namespace

bool SystemdUserUnit::State::enabled() const {
  return unitFileState == "enabled" || unitFileState == "enabled-runtime" || unitFileState == "linked" ||
         unitFileState == "linked-runtime" || unitFileState == "alias";
}

bool SystemdUserUnit::State::masked() const { return unitFileState == "masked" || unitFileState == "masked-runtime"; }

SystemdUserUnit::SystemdUserUnit(const QDBusConnection& sessionBus, const QString& unitName, QObject* parent)
    : QObject(parent),
      bus_(sessionBus),
      unitName_(unitName),
      manager_(new SystemdManagerProxy(kService, kManagerPath, bus_, this)),
      managerWatcher_(kService, bus_, QDBusServiceWatcher::WatchForOwnerChange) {
  registerDBusTypes();
  connect(manager_, &SystemdManagerProxy::JobRemoved, this, &SystemdUserUnit::jobRemoved);
  connect(&managerWatcher_, &QDBusServiceWatcher::serviceOwnerChanged, this, &SystemdUserUnit::refresh);
  startPatience_.setSingleShot(true);
  startPatience_.setInterval(kStartPatienceMs);
  connect(&startPatience_, &QTimer::timeout, this, [this] {
    startJob_.clear();
    finishChange(std::nullopt);
  });
  refresh();
}

SystemdUserUnit::~SystemdUserUnit() {
  // Sent without waiting for the answer; systemd stops its signals once no client is subscribed.
  if (subscribed_) manager_->Unsubscribe();
}

// systemd sends its signals (a job's end, a unit's new state) only to subscribed clients.
void SystemdUserUnit::subscribe() {
  subscribed_ = true;
  whenAnswered(this, manager_->Subscribe(), [this](const QDBusPendingCall& call) {
    if (call.isError() && call.error().name() != "org.freedesktop.systemd1.AlreadySubscribed") subscribed_ = false;
  });
}

void SystemdUserUnit::refresh() {
  const int generation = ++generation_;
  if (!bus_.isConnected()) {
    publish(generation, {Availability::kNoBus, {}, {}});
    return;
  }
  if (!subscribed_) subscribe();
  whenAnswered(this, manager_->LoadUnit(unitName_), [this, generation](const QDBusPendingCall& call) {
    QDBusPendingReply<QDBusObjectPath> reply = call;
    if (reply.isError()) {
      publish(generation, unreadable(reply.error()));
      return;
    }
    const QString path = reply.value().path();
    if (!unit_ || unit_->path() != path) {
      delete unit_;
      unit_ = new DBusPropertiesProxy(kService, path, bus_, this);
      connect(unit_, &DBusPropertiesProxy::PropertiesChanged, this, &SystemdUserUnit::unitPropertiesChanged);
    }
    readUnit(generation);
  });
}

void SystemdUserUnit::readUnit(int generation) {
  whenAnswered(this, unit_->GetAll(kUnitInterface), [this, generation](const QDBusPendingCall& call) {
    QDBusPendingReply<QVariantMap> reply = call;
    if (reply.isError()) {
      publish(generation, unreadable(reply.error()));
      return;
    }
    const QVariantMap properties = reply.value();
    const QString activeState = properties.value("ActiveState").toString();
    // A unit that no file describes is loaded all the same, as "not-found".
    if (properties.value("LoadState").toString() == "not-found") {
      publish(generation, {Availability::kNotInstalled, {}, activeState});
      return;
    }
    readUnitFileState(generation, activeState);
  });
}

void SystemdUserUnit::readUnitFileState(int generation, const QString& activeState) {
  whenAnswered(this, manager_->GetUnitFileState(unitName_),
               [this, generation, activeState](const QDBusPendingCall& call) {
                 QDBusPendingReply<QString> reply = call;
                 if (reply.error().name() == "org.freedesktop.DBus.Error.FileNotFound") {
                   publish(generation, {Availability::kNotInstalled, {}, activeState});
                 } else if (reply.isError()) {
                   publish(generation, unreadable(reply.error()));
                 } else {
                   publish(generation, {Availability::kAvailable, reply.value(), activeState});
                 }
               });
}

SystemdUserUnit::State SystemdUserUnit::unreadable(const QDBusError& error) {
  if (!bus_.isConnected()) return {Availability::kNoBus, {}, {}};
  if (isServiceMissing(error)) return {Availability::kNoManager, {}, {}};
  failure_ = error.name() + ": " + error.message();
  qWarning("the user unit %s could not be read: %s", qPrintable(unitName_), qPrintable(failure_));
  return {Availability::kUnreadable, {}, {}};
}

void SystemdUserUnit::publish(int generation, State state) {
  if (generation != generation_) return;  // a later read is on its way; it alone tells
  state_ = std::move(state);
  if (ending_) {
    ending_ = false;
    changing_ = false;
    emit stateChanged();
    emit changeFinished(std::exchange(outcome_, std::nullopt));
    return;
  }
  emit stateChanged();
}

void SystemdUserUnit::unitPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                            const QStringList& invalidated) {
  if (interface != kUnitInterface) return;
  if (invalidated.contains("ActiveState")) {
    refresh();
  } else if (changed.contains("ActiveState")) {
    state_.activeState = changed.value("ActiveState").toString();
    emit stateChanged();
  }
}

void SystemdUserUnit::enableAndStart() {
  if (changing_ || state_.availability != Availability::kAvailable) return;
  changing_ = true;
  emit stateChanged();
  whenAnswered(this, manager_->EnableUnitFiles({unitName_}, false, false), [this](const QDBusPendingCall& call) {
    QDBusPendingReply<bool, UnitFileChanges> reply = call;
    if (reply.isError()) return finishChange(Failure{Step::kEnable, reply.error().message()});
    // Without an [Install] section there is nothing to enable: systemd answers success and changes nothing.
    if (!reply.argumentAt<0>()) return finishChange(Failure{Step::kEnable, unitName_ + " cannot be enabled"});
    whenAnswered(this, manager_->Reload(), [this](const QDBusPendingCall& reloaded) {
      if (reloaded.isError()) return finishChange(Failure{Step::kReload, reloaded.error().message()});
      startUnit();
    });
  });
}

// StartUnit answers once the job is queued; the job's end (JobRemoved) carries the start's result. Ours
// is told apart by the job path that StartUnit returns, and a job that ends before that answer is read
// is remembered, so that no outcome is missed.
void SystemdUserUnit::startUnit() {
  startJob_.clear();
  endedJobs_.clear();
  whenAnswered(this, manager_->StartUnit(unitName_, "replace"), [this](const QDBusPendingCall& call) {
    QDBusPendingReply<QDBusObjectPath> reply = call;
    if (reply.isError()) return finishChange(Failure{Step::kStart, reply.error().message()});
    // Not subscribed: no job's end will be told; the state read back shows how the start goes.
    if (!subscribed_) return finishChange(std::nullopt);
    startJob_ = reply.value().path();
    if (endedJobs_.contains(startJob_)) return startJobEnded(endedJobs_.take(startJob_));
    startPatience_.start();
  });
}

void SystemdUserUnit::jobRemoved(uint, const QDBusObjectPath& job, const QString& unit, const QString& result) {
  if (!changing_ || unit != unitName_) return;
  if (startJob_.isEmpty())
    endedJobs_.insert(job.path(), result);
  else if (job.path() == startJob_)
    startJobEnded(result);
}

void SystemdUserUnit::startJobEnded(const QString& result) {
  startPatience_.stop();
  startJob_.clear();
  endedJobs_.clear();
  if (result == "done") return finishChange(std::nullopt);
  finishChange(Failure{Step::kStart, "the start job of " + unitName_ + " ended: " + result});
}

void SystemdUserUnit::stopAndDisable() {
  if (changing_ || state_.availability != Availability::kAvailable) return;
  changing_ = true;
  emit stateChanged();
  whenAnswered(this, manager_->StopUnit(unitName_, "replace"), [this](const QDBusPendingCall& call) {
    if (call.isError()) return finishChange(Failure{Step::kStop, call.error().message()});
    whenAnswered(this, manager_->DisableUnitFiles({unitName_}, false), [this](const QDBusPendingCall& disabled) {
      if (disabled.isError()) return finishChange(Failure{Step::kDisable, disabled.error().message()});
      whenAnswered(this, manager_->Reload(), [this](const QDBusPendingCall& reloaded) {
        if (reloaded.isError()) return finishChange(Failure{Step::kReload, reloaded.error().message()});
        finishChange(std::nullopt);
      });
    });
  });
}

void SystemdUserUnit::finishChange(std::optional<Failure> failure) {
  if (failure)
    qWarning("%s of the user unit %s failed: %s", stepName(failure->step), qPrintable(unitName_),
             qPrintable(failure->message));
  ending_ = true;
  outcome_ = std::move(failure);
  refresh();
}

}  // namespace quell
