#include "extension/guard_dbus_service.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <cstdio>
#include <cstdlib>

#include "engine/decision_description.h"
#include "extension/quellguard.h"
#include "guard1_adaptor.h"  // generated from resources/dbus/app.quell.Guard1.xml
#include "platform/command_line.h"

namespace quell {

namespace {

ILMessageFilterQueryRequest requestOf(const QString& sender, const QString& body) {
  return {sender.toStdString(), body.toStdString()};
}

// A JSON value of the decision as a D-Bus value. Objects become a{sv}; arrays hold strings ("matched") or
// objects ("words"), and the key says which, so an empty one still has its type.
QVariant toVariant(const nlohmann::ordered_json& value, std::string_view key = {}) {
  if (value.is_string()) return QString::fromStdString(value.get<std::string>());
  if (value.is_number()) return value.get<double>();
  if (value.is_boolean()) return value.get<bool>();
  if (value.is_array() && key == "matched") {
    QStringList list;
    for (const auto& item : value)
      if (item.is_string()) list << QString::fromStdString(item.get<std::string>());
    return list;
  }
  if (value.is_array()) {
    QList<QVariantMap> maps;
    for (const auto& item : value) maps << toVariant(item).toMap();
    return QVariant::fromValue(maps);
  }
  if (value.is_object()) {
    QVariantMap map;
    for (const auto& [name, member] : value.items()) map.insert(QString::fromStdString(name), toVariant(member, name));
    return map;
  }
  return {};
}

}  // namespace

GuardDBusService::GuardDBusService(std::chrono::milliseconds idleLimit, QObject* parent) : QObject(parent) {
  idleTimer_.setSingleShot(true);
  idleTimer_.setInterval(static_cast<int>(idleLimit.count()));
  connect(&idleTimer_, &QTimer::timeout, this, &GuardDBusService::idle);
  idleTimer_.start();
}

void GuardDBusService::touched() { idleTimer_.start(); }

QString GuardDBusService::HandleQueryRequest(const QString& sender, const QString& body) {
  touched();
  const FilterVerdict verdict = Quellguard().offlineVerdict(requestOf(sender, body));
  return QString::fromUtf8(actionName(verdict));
}

QVariantMap GuardDBusService::Explain(const QString& sender, const QString& body) {
  touched();
  const FilterDecision decision = Quellguard().offlineDecision(requestOf(sender, body));
  QVariantMap answer = toVariant(decisionMembers(decision)).toMap();
  answer.insert("action", QString::fromUtf8(filterActionName(decision.action)));
  return answer;
}

int runGuardDBusService(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  qDBusRegisterMetaType<QList<QVariantMap>>();
  std::int64_t idleSeconds = 60;
  if (const char* chosen = std::getenv("QUELL_DBUS_IDLE_SECONDS"); chosen && *chosen) {
    auto parsed = parseWholeNumber(chosen, 1, 86400);
    if (!parsed) {
      std::fprintf(stderr, "quellguard: QUELL_DBUS_IDLE_SECONDS must be a whole number of seconds from 1 to 86400\n");
      return 2;
    }
    idleSeconds = *parsed;
  }
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    std::fprintf(stderr, "quellguard: cannot reach the session bus: %s\n", qPrintable(bus.lastError().message()));
    return 1;
  }
  GuardDBusService service{std::chrono::seconds(idleSeconds)};
  new Guard1Adaptor(&service);  // owned by the service
  if (!bus.registerObject(kGuardObjectPath, &service, QDBusConnection::ExportAdaptors)) {
    std::fprintf(stderr, "quellguard: cannot export %s on the session bus\n", kGuardObjectPath);
    return 1;
  }
  if (!bus.registerService(kGuardServiceName)) {
    std::fprintf(stderr, "quellguard: the name %s is taken on the session bus\n", kGuardServiceName);
    return 1;
  }
  QObject::connect(&service, &GuardDBusService::idle, &app, &QCoreApplication::quit);
  return app.exec();
}

}  // namespace quell
