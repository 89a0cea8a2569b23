#include "modembridge/modem_bridge.h"

#include <QCryptographicHash>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QProcessEnvironment>
#include <QTimer>

#include "engine/filter_decision.h"
#include "platform/system_log.h"

namespace quell {

namespace {

constexpr const char* kManager = "org.freedesktop.ModemManager1";
constexpr const char* kManagerPath = "/org/freedesktop/ModemManager1";
constexpr const char* kObjectManager = "org.freedesktop.DBus.ObjectManager";
constexpr const char* kMessaging = "org.freedesktop.ModemManager1.Modem.Messaging";
constexpr const char* kSms = "org.freedesktop.ModemManager1.Sms";
constexpr const char* kProperties = "org.freedesktop.DBus.Properties";
constexpr unsigned kStateReceiving = 2, kStateReceived = 3;
constexpr int kCallTimeoutMs = 5000;

void log(const QString& line) { NSLog(line.toStdString()); }

}  // namespace

ModemBridge::ModemBridge(QDBusConnection systemBus, std::unique_ptr<JunkLog> log, ModemBridgeOptions options,
                         QObject* parent)
    : QObject(parent), bus_(std::move(systemBus)), log_(std::move(log)), options_(std::move(options)) {
  qDBusRegisterMetaType<QList<QDBusObjectPath>>();
}

void ModemBridge::start() {
  auto* watcher = new QDBusServiceWatcher(kManager, bus_, QDBusServiceWatcher::WatchForRegistration, this);
  connect(watcher, &QDBusServiceWatcher::serviceRegistered, this, &ModemBridge::managerAppeared);
  bus_.connect(kManager, kManagerPath, kObjectManager, "InterfacesAdded", this, SLOT(interfacesAdded(QDBusMessage)));
  bus_.connect(kManager, QString(), kMessaging, "Added", this, SLOT(smsAdded(QDBusMessage)));
  bus_.connect(kManager, QString(), kProperties, "PropertiesChanged", this, SLOT(propertiesChanged(QDBusMessage)));
  judgeStoredMessages();
}

void ModemBridge::managerAppeared() {
  log("ModemManager appeared: judging what its modems hold");
  judgeStoredMessages();
}

void ModemBridge::judgeStoredMessages() {
  QDBusMessage call = QDBusMessage::createMethodCall(kManager, kManagerPath, kObjectManager, "GetManagedObjects");
  QDBusMessage reply = bus_.call(call, QDBus::Block, kCallTimeoutMs);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
    log("ModemManager is not reachable: " + reply.errorMessage());
    return;
  }
  const QDBusArgument objects = reply.arguments().at(0).value<QDBusArgument>();
  QStringList modems;
  objects.beginMap();
  while (!objects.atEnd()) {
    QDBusObjectPath path;
    QMap<QString, QVariantMap> interfaces;
    objects.beginMapEntry();
    objects >> path >> interfaces;
    objects.endMapEntry();
    if (interfaces.contains(kMessaging)) modems << path.path();
  }
  objects.endMap();
  for (const QString& modem : modems) judgeModem(modem);
}

void ModemBridge::interfacesAdded(const QDBusMessage& message) {
  if (message.arguments().size() < 2) return;
  const QString path = message.arguments().at(0).value<QDBusObjectPath>().path();
  const QDBusArgument interfacesArgument = message.arguments().at(1).value<QDBusArgument>();
  QMap<QString, QVariantMap> interfaces;
  interfacesArgument >> interfaces;
  if (!interfaces.contains(kMessaging)) return;
  log("modem " + path + " appeared");
  judgeModem(path);
}

void ModemBridge::judgeModem(const QString& modemPath) {
  QDBusMessage call = QDBusMessage::createMethodCall(kManager, modemPath, kMessaging, "List");
  QDBusReply<QList<QDBusObjectPath>> listed = bus_.call(call, QDBus::Block, kCallTimeoutMs);
  if (!listed.isValid()) {
    log("cannot list the messages of " + modemPath + ": " + listed.error().message());
    return;
  }
  for (const QDBusObjectPath& sms : listed.value()) judgeSms(sms.path(), modemPath);
}

void ModemBridge::smsAdded(const QDBusMessage& message) {
  if (message.arguments().isEmpty()) return;
  judgeSms(message.arguments().at(0).value<QDBusObjectPath>().path(), message.path());
}

void ModemBridge::propertiesChanged(const QDBusMessage& message) {
  auto it = receiving_.find(message.path());
  if (it == receiving_.end() || message.arguments().size() < 2) return;
  const QVariantMap changed = qdbus_cast<QVariantMap>(message.arguments().at(1));
  if (changed.value("State").toUInt() != kStateReceived) return;
  const QString modem = it.value();
  receiving_.erase(it);
  judgeSms(message.path(), modem);
}

void ModemBridge::judgeSms(const QString& smsPath, const QString& modemPath) {
  QDBusMessage call = QDBusMessage::createMethodCall(kManager, smsPath, kProperties, "GetAll");
  call << QString(kSms);
  QDBusReply<QVariantMap> properties = bus_.call(call, QDBus::Block, kCallTimeoutMs);
  if (!properties.isValid()) {
    log("skipped " + smsPath + ": its properties cannot be read (" + properties.error().message() + ")");
    return;
  }
  const QVariantMap sms = properties.value();
  const unsigned state = sms.value("State").toUInt();
  if (state == kStateReceiving) {
    receiving_.insert(smsPath, modemPath);  // judged once it has been received whole
    return;
  }
  if (state != kStateReceived) return;  // drafts and sent messages are not for the filter
  receiving_.remove(smsPath);
  const QString sender = sms.value("Number").toString();
  const QString text = sms.value("Text").toString();
  const QString timestamp = sms.value("Timestamp").toString();
  // A message is known by what it holds, not by its path: a restarted ModemManager numbers its messages
  // afresh, and a restarted bridge must not judge (log, announce, hand to a hook) a message twice.
  const std::string fingerprint =
      QCryptographicHash::hash(
          QStringList{sender, timestamp, text, QString::fromLatin1(sms.value("Data").toByteArray().toHex())}
              .join(QChar(0))
              .toUtf8(),
          QCryptographicHash::Sha256)
          .toHex()
          .toStdString();
  const QString key = QString::fromStdString(fingerprint);
  if (judged_.contains(key)) return;
  if (auto before = log_->judgedBefore(fingerprint); before && *before) {
    judged_.insert(key);
    return;
  }
  judged_.insert(key);
  if (text.isEmpty() && !sms.value("Data").toByteArray().isEmpty()) {
    log("skipped " + smsPath + ": a data SMS holds no text to judge");
    (void)log_->rememberJudged(fingerprint);
    return;
  }
  const FilterDecision decision = decideMessage(sender.toStdString(), text.toStdString());
  const bool junk = decision.action == FilterAction::kJunk;
  const QString stage = QString::fromUtf8(filterStageName(decision.stage));
  if (junk) {
    JunkMessage message{timestamp.toStdString(), modemPath.toStdString(), sender.toStdString(), text.toStdString(),
                        junkReasons(decision)};
    auto recorded = log_->record(message);
    if (!recorded) {
      // Not recorded, so not deleted either: nothing is lost.
      log("junk from " + sender + " could not be recorded (" + QString::fromStdString(recorded.message()) +
          "); it stays on the modem");
    } else if (options_.deleteJunk) {
      QDBusMessage remove = QDBusMessage::createMethodCall(kManager, modemPath, kMessaging, "Delete");
      remove << QVariant::fromValue(QDBusObjectPath(smsPath));
      QDBusMessage removed = bus_.call(remove, QDBus::Block, kCallTimeoutMs);
      if (removed.type() == QDBusMessage::ReplyMessage) {
        (void)log_->markDeleted(*recorded);
      } else {
        log("junk " + smsPath + " was recorded but could not be deleted: " + removed.errorMessage());
      }
    }
    if (options_.notify) notifyJunk(sender);
  }
  (void)log_->rememberJudged(fingerprint);  // should this fail, a restart judges it again: nothing is lost
  log(QString("%1 from %2: %3 (%4)").arg(smsPath, sender, junk ? "junk" : "ham", stage));
  const QString& hook = junk ? options_.onJunk : options_.onHam;
  if (!hook.isEmpty()) runHook(hook, sender, text, timestamp, stage);
  emit judged(smsPath, junk);
}

void ModemBridge::runHook(const QString& command, const QString& sender, const QString& body, const QString& timestamp,
                          const QString& stage) {
  QStringList words = QProcess::splitCommand(command);
  if (words.isEmpty()) return;
  auto* hook = new QProcess(this);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QUELL_SENDER", sender);
  environment.insert("QUELL_BODY", body);
  environment.insert("QUELL_TIMESTAMP", timestamp);
  environment.insert("QUELL_STAGE", stage);
  hook->setProcessEnvironment(environment);
  hook->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  hook->setStandardOutputFile(QProcess::nullDevice());
  const QString program = words.takeFirst();
  ++runningHooks_;
  connect(hook, &QProcess::finished, this, [this, hook, program](int code, QProcess::ExitStatus status) {
    if (status != QProcess::NormalExit || code != 0)
      log(QString("hook %1 failed (%2)")
              .arg(program, status == QProcess::NormalExit ? QString("exit %1").arg(code) : QString("killed")));
    --runningHooks_;
    hook->deleteLater();
  });
  connect(hook, &QProcess::errorOccurred, this, [this, hook, program](QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) return;  // the others end in finished()
    log("hook " + program + " could not be started");
    --runningHooks_;
    hook->deleteLater();
  });
  QTimer::singleShot(options_.hookTimeout, hook, [hook, program] {
    if (hook->state() == QProcess::NotRunning) return;
    log("hook " + program + " ran too long and is killed");
    hook->kill();
  });
  hook->start(program, words);
  hook->write(body.toUtf8());
  hook->closeWriteChannel();
}

void ModemBridge::notifyJunk(const QString& sender) {
  QDBusConnection session = QDBusConnection::sessionBus();
  if (!session.isConnected() || !session.interface()->isServiceRegistered("org.freedesktop.Notifications")) return;
  QDBusMessage notify = QDBusMessage::createMethodCall(
      "org.freedesktop.Notifications", "/org/freedesktop/Notifications", "org.freedesktop.Notifications", "Notify");
  notify << QString("Quell") << 0u << QString("quellbox") << QString("已拦截垃圾短信") << sender << QStringList()
         << QVariantMap() << -1;
  session.asyncCall(notify);  // the answer does not matter
}

}  // namespace quell
