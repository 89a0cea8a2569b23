#include "platform/modem_manager_probe.h"

#include "object_manager_proxy.h"
#include "platform/dbus_reply.h"
#include "platform/dbus_types.h"

namespace quell {

namespace {

constexpr const char* kService = "org.freedesktop.ModemManager1";
constexpr const char* kManagerPath = "/org/freedesktop/ModemManager1";
constexpr const char* kModemInterface = "org.freedesktop.ModemManager1.Modem";

QList<ModemManagerProbe::Modem> modemsOf(const ManagedObjects& objects) {
  QList<ModemManagerProbe::Modem> modems;
  for (auto object = objects.begin(); object != objects.end(); ++object) {
    if (!object.value().contains(kModemInterface)) continue;
    const QVariantMap properties = object.value().value(kModemInterface);
    QStringList name{properties.value("Manufacturer").toString().trimmed(),
                     properties.value("Model").toString().trimmed()};
    name.removeAll(QString());
    modems.append({object.key().path(), name.join(' ')});
  }
  return modems;
}

}  // namespace

ModemManagerProbe::ModemManagerProbe(const QDBusConnection& systemBus, QObject* parent)
    : QObject(parent),
      bus_(systemBus),
      objects_(new ObjectManagerProxy(kService, kManagerPath, bus_, this)),
      watcher_(kService, bus_, QDBusServiceWatcher::WatchForOwnerChange) {
  registerDBusTypes();
  // Any change of the modems is read whole again: the object manager's list is the one truth.
  connect(objects_, &ObjectManagerProxy::InterfacesAdded, this, &ModemManagerProbe::refresh);
  connect(objects_, &ObjectManagerProxy::InterfacesRemoved, this, &ModemManagerProbe::refresh);
  connect(&watcher_, &QDBusServiceWatcher::serviceRegistered, this, &ModemManagerProbe::refresh);
  connect(&watcher_, &QDBusServiceWatcher::serviceUnregistered, this,
          [this] { publish(++generation_, Status::kAbsent, {}); });
  refresh();
}

void ModemManagerProbe::refresh() {
  const int generation = ++generation_;
  if (!bus_.isConnected()) {
    publish(generation, Status::kNoBus, {});
    return;
  }
  whenAnswered(this, objects_->GetManagedObjects(), [this, generation](const QDBusPendingCall& call) {
    QDBusPendingReply<ManagedObjects> reply = call;
    if (!reply.isError()) {
      publish(generation, Status::kRunning, modemsOf(reply.value()));
    } else if (!bus_.isConnected()) {
      publish(generation, Status::kNoBus, {});
    } else if (isServiceMissing(reply.error())) {
      publish(generation, Status::kAbsent, {});
    } else {
      failure_ = reply.error().name() + ": " + reply.error().message();
      qWarning("ModemManager could not be read: %s", qPrintable(failure_));
      publish(generation, Status::kUnreadable, {});
    }
  });
}

void ModemManagerProbe::publish(int generation, Status status, QList<Modem> modems) {
  if (generation != generation_) return;  // a later read is on its way; it alone tells
  status_ = status;
  modems_ = std::move(modems);
  emit changed();
}

}  // namespace quell
