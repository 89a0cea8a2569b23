#include "modembridge/modem_bridge.h"

#include <csignal>

#include <QCryptographicHash>
#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QTimer>

#include "engine/filter_decision.h"
#include "engine/junk_deletion_setting.h"
#include "platform/one_line_text.h"
#include "platform/system_log.h"

namespace quell {

namespace {

constexpr const char* kManager = "org.freedesktop.ModemManager1";
constexpr const char* kManagerPath = "/org/freedesktop/ModemManager1";
constexpr const char* kObjectManager = "org.freedesktop.DBus.ObjectManager";
constexpr const char* kModem = "org.freedesktop.ModemManager1.Modem";
constexpr const char* kMessaging = "org.freedesktop.ModemManager1.Modem.Messaging";
constexpr const char* kSms = "org.freedesktop.ModemManager1.Sms";
constexpr const char* kProperties = "org.freedesktop.DBus.Properties";
constexpr unsigned kStateReceiving = 2, kStateReceived = 3;
constexpr unsigned kPduStatusReport = 3;
constexpr int kCallTimeoutMs = 25000;
// The system bus lets a connection wait for 128 answers at once; the bridge stays below.
constexpr int kMaxCalls = 96;

void systemLog(const QString& line) { NSLog(line.toStdString()); }

// A text from the modem as one line of the log: an escape sequence or a line break in a sender forges nothing.
QString shown(const QString& text) { return QString::fromStdString(oneLineText(text.toStdString())); }

// 0.25 s after the first failure, doubling up to a minute.
std::chrono::milliseconds pause(int attempts) {
  return std::min<std::chrono::milliseconds>(std::chrono::milliseconds(250 << std::min(attempts - 1, 8)),
                                             std::chrono::minutes(1));
}

// The object asked about is no longer there.
bool isGone(const QDBusMessage& reply) {
  static const QStringList names = {
      "org.freedesktop.DBus.Error.UnknownObject", "org.freedesktop.DBus.Error.UnknownMethod",
      "org.freedesktop.DBus.Error.UnknownInterface", "org.freedesktop.ModemManager1.Error.Core.NotFound"};
  return names.contains(reply.errorName());
}

// The ModemManager instance asked has gone away; its successor numbers its objects afresh.
bool isManagerGone(const QDBusMessage& reply) {
  return reply.errorName() == "org.freedesktop.DBus.Error.ServiceUnknown" ||
         reply.errorName() == "org.freedesktop.DBus.Error.NameHasNoOwner";
}

// What a message holds, as a key: a restarted ModemManager numbers its messages afresh.
std::string fingerprintOf(const QVariantMap& sms) {
  const QStringList parts{sms.value("Number").toString(), sms.value("Timestamp").toString(),
                          sms.value("Text").toString(), QString::fromLatin1(sms.value("Data").toByteArray().toHex())};
  return QCryptographicHash::hash(parts.join(QChar(0)).toUtf8(), QCryptographicHash::Sha256).toHex().toStdString();
}

// For the tests of crash safety: QUELL_TEST_STOP_AT=<step> kills the bridge right after that step, as a
// power cut would.
void stopHereIfAsked(const char* step) {
  static const QByteArray stopAt = qgetenv("QUELL_TEST_STOP_AT");
  if (stopAt != step) return;
  systemLog(QString("stopping at %1, as QUELL_TEST_STOP_AT asks").arg(step));
  std::raise(SIGKILL);
}

}  // namespace

ModemBridge::ModemBridge(QDBusConnection systemBus, std::unique_ptr<JunkLog> log, ModemBridgeOptions options,
                         QObject* parent)
    : QObject(parent),
      bus_(std::move(systemBus)),
      log_(std::move(log)),
      ledger_(*log_),
      options_(std::move(options)),
      hooks_(new HookRunner(options_.maxHooks, options_.hookTimeout, this)) {
  qDBusRegisterMetaType<QList<QDBusObjectPath>>();
  connect(hooks_, &HookRunner::becameIdle, this, &ModemBridge::finishIfQuiet);
}

void ModemBridge::start() {
  resumeUnfinished();
  if (!options_.once) {
    auto* watcher = new QDBusServiceWatcher(kManager, bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, &ModemBridge::managerOwnerChanged);
    bus_.connect(kManager, kManagerPath, kObjectManager, "InterfacesAdded", this, SLOT(interfacesAdded(QDBusMessage)));
    bus_.connect(kManager, QString(), kMessaging, "Added", this, SLOT(smsAdded(QDBusMessage)));
    systemLog("following ModemManager");
  }
  sweepAll();
}

// ---- Finding messages ----

void ModemBridge::managerOwnerChanged(const QString&, const QString&, const QString& newOwner) {
  // The messages of the instance that went away are reached again through the next one's listing.
  std::vector<std::uint64_t> stale;
  for (const auto& [id, message] : messages_)
    if (message.live && message.record.owner != newOwner.toStdString()) stale.push_back(id);
  for (std::uint64_t id : stale) {
    Message& message = messages_.at(id);
    if (!message.record.id) {
      erase(id);
      continue;
    }
    detach(id);
    message.waitingForModem = !message.announcing;
  }
  claimed_.clear();
  sweeps_.clear();
  if (newOwner.isEmpty()) return;
  systemLog("ModemManager appeared: judging what its modems hold");
  sweepAll();
}

void ModemBridge::sweepAll() {
  listingModems_ = true;
  call(kManager, kManagerPath, kObjectManager, "GetManagedObjects", {}, [this](const QDBusMessage& reply) {
    listingModems_ = false;
    reachable_ = reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty();
    if (!reachable_) {
      systemLog("ModemManager is not reachable: " + shown(reply.errorMessage()));
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
      if (!interfaces.contains(kMessaging)) continue;
      const QString device = interfaces.value(kModem).value("DeviceIdentifier").toString();
      if (!device.isEmpty()) devices_.insert(path.path(), device);
      modems << path.path();
    }
    objects.endMap();
    for (const QString& modem : modems) sweepModem(reply.service(), modem);
  });
}

void ModemBridge::interfacesAdded(const QDBusMessage& message) {
  if (message.arguments().size() < 2) return;
  const QString path = message.arguments().at(0).value<QDBusObjectPath>().path();
  QMap<QString, QVariantMap> interfaces;
  message.arguments().at(1).value<QDBusArgument>() >> interfaces;
  if (!interfaces.contains(kMessaging)) return;
  const QString device = interfaces.value(kModem).value("DeviceIdentifier").toString();
  if (!device.isEmpty()) devices_.insert(path, device);
  systemLog("modem " + path + " appeared");
  sweepModem(message.service(), path);
}

void ModemBridge::sweepModem(const QString& owner, const QString& modem) {
  if (auto running = sweeps_.find(modem); running != sweeps_.end()) {
    running->again = true;
    return;
  }
  Sweep& sweep = sweeps_[modem];
  sweep.serial = nextId_++;
  sweep.owner = owner;
  sweep.device = deviceOf(modem);
  // What was last seen on this device before the listing: whatever of it the listing does not find is gone.
  if (auto candidates = ledger_.onDevice(sweep.device.toStdString()))
    sweep.candidates.insert(candidates->begin(), candidates->end());
  else
    sweep.complete = false;
  const std::uint64_t serial = sweep.serial;
  call(owner, modem, kMessaging, "List", {}, [this, owner, modem, serial](const QDBusMessage& reply) {
    auto sweep = sweeps_.find(modem);
    if (sweep == sweeps_.end() || sweep->serial != serial) return;
    sweep->listed = true;
    if (reply.type() != QDBusMessage::ReplyMessage) {
      systemLog("cannot list the messages of " + modem + ": " + shown(reply.errorMessage()));
      sweep->complete = false;
    } else {
      for (const QDBusObjectPath& sms : qdbus_cast<QList<QDBusObjectPath>>(reply.arguments().value(0)))
        sight(owner, modem, sms.path(), serial);
    }
    concludeSweep(modem);
  });
}

void ModemBridge::concludeSweep(const QString& modem) {
  auto found = sweeps_.find(modem);
  if (found == sweeps_.end() || !found->listed || found->reading > 0) return;
  const Sweep sweep = *found;
  sweeps_.erase(found);
  if (sweep.complete) {
    std::vector<std::int64_t> goneRows;
    for (std::int64_t row : sweep.candidates) {
      if (sweep.matched.count(row)) continue;
      if (auto message = byRow_.find(row); message != byRow_.end() && messages_.at(*message).live) continue;
      goneRows.push_back(row);
    }
    gone(goneRows);
  }
  if (sweep.again) sweepModem(sweep.owner, modem);
  finishIfQuiet();
}

void ModemBridge::gone(const std::vector<std::int64_t>& rows) {
  std::vector<std::int64_t> forgotten;
  for (std::int64_t row : rows) {
    auto inMemory = byRow_.find(row);
    std::uint64_t id = 0;
    if (inMemory != byRow_.end()) {
      id = *inMemory;
    } else {
      auto record = ledger_.find(row);
      if (!record || !*record) continue;
      if ((*record)->step == SmsStep::kDone) {
        forgotten.push_back(row);
        continue;
      }
      Message message;
      message.record = **record;
      message.committed = message.record.step;
      message.waitingForModem = true;
      id = adopt(std::move(message));
    }
    Message& message = messages_.at(id);
    if (!message.waitingForModem) continue;  // under way already
    message.waitingForModem = false;
    // Junk that left the modem needs no deleting (a Delete that was cut short may well have done it).
    if (message.record.verdict == SmsVerdict::kJunk && message.record.step == SmsStep::kJudged) {
      message.record.deleted = true;
      message.record.step = SmsStep::kDeleted;
      save(id);
    } else {
      advance(id);
    }
  }
  if (!forgotten.empty()) (void)ledger_.forget(forgotten);  // should this fail, the next listing forgets them
}

void ModemBridge::resumeUnfinished() {
  auto unfinished = ledger_.unfinished();
  if (!unfinished) {
    systemLog("the junk log cannot be read (" + QString::fromStdString(unfinished.message()) +
              "): unfinished messages are taken up as their modem lists them");
    return;
  }
  for (SmsRecord& record : *unfinished) {
    Message message;
    message.record = std::move(record);
    message.committed = message.record.step;
    const std::uint64_t id = adopt(std::move(message));
    advance(id);
  }
}

void ModemBridge::smsAdded(const QDBusMessage& message) {
  if (message.arguments().isEmpty()) return;
  sight(message.service(), message.path(), message.arguments().at(0).value<QDBusObjectPath>().path(), 0);
}

void ModemBridge::sight(const QString& owner, const QString& modem, const QString& path, std::uint64_t sweep) {
  if (auto known = byPath_.find(owner + '\n' + path); known != byPath_.end()) {
    const std::int64_t row = messages_.at(*known).record.id;
    if (auto listing = sweeps_.find(modem); sweep && row && listing != sweeps_.end() && listing->serial == sweep)
      listing->matched.insert(row);
    return;
  }
  Message message;
  message.sweep = sweep;
  const std::uint64_t id = adopt(std::move(message));
  attach(id, owner, modem, path);
  if (sweep) ++sweeps_[modem].reading;
  readProperties(id);
}

void ModemBridge::readProperties(std::uint64_t id) {
  const Message& message = messages_.at(id);
  const int generation = message.generation;
  call(QString::fromStdString(message.record.owner), QString::fromStdString(message.record.path), kProperties, "GetAll",
       {QString(kSms)}, [this, id, generation](const QDBusMessage& reply) {
         if (current(id, generation)) propertiesRead(id, reply);
       });
}

void ModemBridge::propertiesRead(std::uint64_t id, const QDBusMessage& reply) {
  Message& message = messages_.at(id);
  if (reply.type() != QDBusMessage::ReplyMessage) {
    if (isGone(reply) || isManagerGone(reply)) {  // deleted meanwhile, or found again by the next listing
      leaveSweep(id, true, 0);
      erase(id);
      return;
    }
    leaveSweep(id, false, 0);
    retry(id, "its properties cannot be read (" + shown(reply.errorMessage()) + ")", &ModemBridge::readProperties);
    return;
  }
  const QVariantMap properties = qdbus_cast<QVariantMap>(reply.arguments().value(0));
  const unsigned state = properties.value("State").toUInt();
  if (state == kStateReceiving && !options_.once) {
    // Judged once it is whole. Read again once its State is followed, so that no change is missed.
    if (!message.watching) {
      watch(id, true);
      readProperties(id);
    } else {
      leaveSweep(id, true, 0);
    }
    return;
  }
  if (message.watching) watch(id, false);
  if (state != kStateReceived) {  // drafts and sent messages are not for the filter; a partial one waits
    leaveSweep(id, true, 0);
    erase(id);
    return;
  }
  identify(id, properties);
}

void ModemBridge::smsPropertiesChanged(const QDBusMessage& message) {
  auto known = byPath_.find(message.service() + '\n' + message.path());
  if (known == byPath_.end() || message.arguments().size() < 2) return;
  const QVariantMap changed = qdbus_cast<QVariantMap>(message.arguments().at(1));
  if (changed.value("State").toUInt() == kStateReceived) readProperties(*known);
}

void ModemBridge::identify(std::uint64_t id, const QVariantMap& properties) {
  Message& message = messages_.at(id);
  SmsRecord& seen = message.record;
  seen.fingerprint = fingerprintOf(properties);
  auto records = ledger_.withFingerprint(seen.fingerprint);
  if (!records) {
    leaveSweep(id, false, 0);
    retry(id, "the junk log cannot be read (" + QString::fromStdString(records.message()) + ")",
          &ModemBridge::readProperties);
    return;
  }
  // The same message where it was seen before; else one like it that the previous ModemManager held (it
  // numbered its messages differently) and that no message of this one has claimed; else a new message.
  const SmsRecord* match = nullptr;
  for (const SmsRecord& record : *records)
    if (record.owner == seen.owner && record.path == seen.path) match = &record;
  for (const SmsRecord& record : *records) {
    if (match) break;
    auto inMemory = byRow_.find(record.id);
    const bool live = inMemory != byRow_.end() && messages_.at(*inMemory).live;
    if (!record.deleted && record.owner != seen.owner && !claimed_.contains(record.id) && !live) match = &record;
  }
  leaveSweep(id, true, match ? match->id : 0);
  if (!match) {
    judge(id, properties);
    return;
  }
  claimed_.insert(match->id);
  const QString owner = QString::fromStdString(seen.owner), modem = QString::fromStdString(seen.modem),
                path = QString::fromStdString(seen.path);
  std::uint64_t target = id;
  if (auto resumed = byRow_.find(match->id); resumed != byRow_.end()) {
    // A message taken up from the ledger: this is where it is now.
    target = *resumed;
    erase(id);
  } else {
    const SmsRecord found = *match;
    message.record = found;
    message.committed = found.step;
    byRow_.insert(found.id, id);
  }
  Message& known = messages_.at(target);
  const bool moved = known.record.owner != owner.toStdString() || known.record.path != path.toStdString();
  attach(target, owner, modem, path);
  if (moved) save(target);  // where it is now, so that a restart finds it by its path
  known.waitingForModem = false;
  if (known.record.step == SmsStep::kDone) {
    if (!moved) erase(target);
    return;
  }
  if (!known.announcing) advance(target);
}

// ---- The steps ----

void ModemBridge::judge(std::uint64_t id, const QVariantMap& properties) {
  SmsRecord& record = messages_.at(id).record;
  const QString sender = properties.value("Number").toString();
  const QString text = properties.value("Text").toString();
  record.sender = sender.toStdString();
  record.body = text.toStdString();
  record.received = properties.value("Timestamp").toString().toStdString();
  QString skipped;
  if (text.isEmpty() && !properties.value("Data").toByteArray().isEmpty())
    skipped = "a data SMS holds no text to judge";
  else if (properties.value("PduType").toUInt() == kPduStatusReport)
    skipped = "a status report is no message to judge";
  if (!skipped.isEmpty()) {
    systemLog("skipped " + QString::fromStdString(record.path) + ": " + skipped);
    record.verdict = SmsVerdict::kSkipped;
    record.step = SmsStep::kDone;
    save(id);
    return;
  }
  const FilterDecision decision = decideMessage(record.sender, record.body);
  const bool junk = decision.action == FilterAction::kJunk;
  record.stage = filterStageName(decision.stage);
  record.verdict = junk ? SmsVerdict::kJunk : SmsVerdict::kHam;
  if (junk) record.reasons = junkReasons(decision);
  // Ham with nothing to announce is finished as soon as it is judged.
  record.step = !junk && options_.onHam.isEmpty() ? SmsStep::kDone : SmsStep::kJudged;
  systemLog(QString("%1 from %2: %3 (%4)")
                .arg(QString::fromStdString(record.path), shown(sender), junk ? "junk" : "ham",
                     QString::fromStdString(record.stage)));
  save(id);
}

void ModemBridge::advance(std::uint64_t id) {
  Message& message = messages_.at(id);
  switch (message.record.step) {
    case SmsStep::kDone: erase(id); return;
    case SmsStep::kJudged:
      if (message.record.verdict == SmsVerdict::kJunk && wantsDeletion()) {
        if (message.live)
          deleteFromModem(id);
        else
          message.waitingForModem = true;
        return;
      }
      announce(id);
      return;
    case SmsStep::kDeleted: announce(id); return;
  }
}

bool ModemBridge::wantsDeletion() const { return options_.deleteJunk || deletesJunkFromModem(); }

void ModemBridge::deleteFromModem(std::uint64_t id) {
  const Message& message = messages_.at(id);
  const int generation = message.generation;
  call(QString::fromStdString(message.record.owner), QString::fromStdString(message.record.modem), kMessaging, "Delete",
       {QVariant::fromValue(QDBusObjectPath(QString::fromStdString(message.record.path)))},
       [this, id, generation](const QDBusMessage& reply) {
         Message* message = current(id, generation);
         if (!message) return;
         if (reply.type() == QDBusMessage::ReplyMessage || isGone(reply)) {
           stopHereIfAsked("deleted");
           message->record.deleted = true;
           message->record.step = SmsStep::kDeleted;
           message->record.waiting.clear();
           message->attempts = 0;
           // With no hook to run, announcing cannot fail or repeat anything: done in the same commit.
           if (options_.onJunk.isEmpty())
             announce(id);
           else
             save(id);
         } else if (isManagerGone(reply)) {
           detach(id);
           message->waitingForModem = true;
         } else {
           retry(id, "the modem did not delete it (" + shown(reply.errorMessage()) + ")",
                 &ModemBridge::deleteFromModem);
         }
       });
}

void ModemBridge::announce(std::uint64_t id) {
  Message& message = messages_.at(id);
  if (message.announcing) return;
  stopHereIfAsked("announcing");
  message.announcing = true;
  const SmsRecord& record = message.record;
  const bool junk = record.verdict == SmsVerdict::kJunk;
  const QString sender = QString::fromStdString(record.sender);
  if (junk && options_.notify) notifyJunk(sender, record.deleted);
  auto announced = [this, id] {
    auto found = messages_.find(id);
    if (found == messages_.end()) return;
    found->second.record.step = SmsStep::kDone;
    found->second.record.waiting.clear();
    save(id);
  };
  const QString& hook = junk ? options_.onJunk : options_.onHam;
  if (hook.isEmpty()) {
    announced();
    return;
  }
  hooks_->run(hook,
              {QString::number(record.id), sender, QString::fromStdString(record.body),
               QString::fromStdString(record.received), QString::fromStdString(record.stage)},
              announced);
}

void ModemBridge::notifyJunk(const QString& sender, bool deleted) {
  QDBusConnection session = QDBusConnection::sessionBus();
  if (!session.isConnected()) return;
  QDBusMessage notify = QDBusMessage::createMethodCall(
      "org.freedesktop.Notifications", "/org/freedesktop/Notifications", "org.freedesktop.Notifications", "Notify");
  // The body may hold markup for the notifier: the sender is text.
  notify << QString("Quell") << 0u << QString("quellbox") << QString(deleted ? "已拦截垃圾短信" : "已记录垃圾短信")
         << sender.toHtmlEscaped() << QStringList() << QVariantMap() << -1;
  session.asyncCall(notify);  // no notifier, or no answer, changes nothing
}

void ModemBridge::save(std::uint64_t id) {
  staged_.insert(id);
  if (flushScheduled_) return;
  flushScheduled_ = true;
  // At the end of this turn of the event loop: what the messages of a burst did meanwhile shares one commit.
  QTimer::singleShot(0, this, &ModemBridge::flush);
}

void ModemBridge::flush() {
  flushScheduled_ = false;
  std::vector<std::uint64_t> ids;
  std::vector<SmsRecord*> records;
  std::vector<bool> inserted;
  for (std::uint64_t id : staged_) {
    auto found = messages_.find(id);
    if (found == messages_.end()) continue;
    ids.push_back(id);
    records.push_back(&found->second.record);
    inserted.push_back(found->second.record.id == 0);
  }
  if (auto saved = ledger_.save(records); !saved) {
    ++flushFailures_;
    systemLog(QString("the junk log cannot be written (%1): %2 messages wait")
                  .arg(QString::fromStdString(saved.message()))
                  .arg(ids.size()) +
              (options_.once ? QString(" for the next run")
                             : QString(", trying again in %1 ms").arg(pause(flushFailures_).count())));
    if (!options_.once) {
      flushScheduled_ = true;
      QTimer::singleShot(pause(flushFailures_), this, &ModemBridge::flush);
    }
    finishIfQuiet();
    return;
  }
  if (flushFailures_) systemLog("the junk log can be written again");
  flushFailures_ = 0;
  staged_.clear();
  for (std::size_t i = 0; i < ids.size(); ++i) {
    auto found = messages_.find(ids[i]);
    if (found == messages_.end()) continue;
    Message& message = found->second;
    if (inserted[i]) {
      byRow_.insert(message.record.id, ids[i]);
      claimed_.insert(message.record.id);
      if (message.record.verdict == SmsVerdict::kJunk) stopHereIfAsked("recorded");
    }
    const bool advanced = inserted[i] || message.record.step != message.committed;
    message.committed = message.record.step;
    if (advanced && message.record.step == SmsStep::kDeleted) stopHereIfAsked("marked-deleted");
    if (message.record.step == SmsStep::kDone)
      erase(ids[i]);
    else if (advanced)
      advance(ids[i]);
  }
  finishIfQuiet();
}

void ModemBridge::retry(std::uint64_t id, const QString& why, void (ModemBridge::*step)(std::uint64_t)) {
  Message& message = messages_.at(id);
  message.record.waiting = why.toStdString();
  ++message.attempts;
  if (message.record.id) save(id);  // its entry shows why it waits
  const QString what = QString::fromStdString(message.record.path) + ": " + why;
  if (options_.once) {
    systemLog(what + "; left for the next run");
    finishIfQuiet();
    return;
  }
  const auto delay = pause(message.attempts);
  systemLog(what + QString("; trying again in %1 ms").arg(delay.count()));
  const int generation = message.generation;
  QTimer::singleShot(delay, this, [this, id, generation, step] {
    if (current(id, generation)) (this->*step)(id);
  });
}

// ---- Bookkeeping ----

std::uint64_t ModemBridge::adopt(Message message) {
  const std::uint64_t id = nextId_++;
  const std::int64_t row = message.record.id;
  messages_.emplace(id, std::move(message));
  if (row) byRow_.insert(row, id);
  return id;
}

void ModemBridge::attach(std::uint64_t id, const QString& owner, const QString& modem, const QString& path) {
  Message& message = messages_.at(id);
  if (message.live) detach(id);
  message.record.owner = owner.toStdString();
  message.record.modem = modem.toStdString();
  message.record.path = path.toStdString();
  message.record.device = deviceOf(modem).toStdString();
  message.live = true;
  ++message.generation;
  byPath_.insert(owner + '\n' + path, id);
}

void ModemBridge::detach(std::uint64_t id) {
  Message& message = messages_.at(id);
  if (!message.live) return;
  if (message.watching) watch(id, false);
  byPath_.remove(QString::fromStdString(message.record.owner) + '\n' + QString::fromStdString(message.record.path));
  message.live = false;
  ++message.generation;
}

void ModemBridge::erase(std::uint64_t id) {
  detach(id);
  const Message& message = messages_.at(id);
  if (message.record.id) byRow_.remove(message.record.id);
  staged_.erase(id);
  messages_.erase(id);
}

ModemBridge::Message* ModemBridge::current(std::uint64_t id, int generation) {
  auto found = messages_.find(id);
  return found != messages_.end() && found->second.generation == generation ? &found->second : nullptr;
}

void ModemBridge::leaveSweep(std::uint64_t id, bool read, std::int64_t row) {
  Message& message = messages_.at(id);
  if (!message.sweep) return;
  const QString modem = QString::fromStdString(message.record.modem);
  auto sweep = sweeps_.find(modem);
  const bool ours = sweep != sweeps_.end() && sweep->serial == message.sweep;
  message.sweep = 0;
  if (!ours) return;
  --sweep->reading;
  if (!read) sweep->complete = false;
  if (row) sweep->matched.insert(row);
  // Concluded once the caller is done with the message.
  QTimer::singleShot(0, this, [this, modem] { concludeSweep(modem); });
}

void ModemBridge::watch(std::uint64_t id, bool on) {
  Message& message = messages_.at(id);
  const QString path = QString::fromStdString(message.record.path);
  // This SMS's own changes only: not the modem's, whose Messages list changes with every SMS.
  if (on)
    bus_.connect(kManager, path, kProperties, "PropertiesChanged", {QString(kSms)}, QString(), this,
                 SLOT(smsPropertiesChanged(QDBusMessage)));
  else
    bus_.disconnect(kManager, path, kProperties, "PropertiesChanged", {QString(kSms)}, QString(), this,
                    SLOT(smsPropertiesChanged(QDBusMessage)));
  message.watching = on;
}

void ModemBridge::call(const QString& owner, const QString& path, const char* interface, const char* method,
                       const QVariantList& arguments, Reply reply) {
  QDBusMessage message = QDBusMessage::createMethodCall(owner, path, interface, method);
  message.setArguments(arguments);
  callsWaiting_.push_back([this, message, reply = std::move(reply)] {
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(message, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, reply] {
      watcher->deleteLater();
      --callsUnderWay_;
      reply(watcher->reply());
      callNext();
      finishIfQuiet();
    });
  });
  callNext();
}

void ModemBridge::callNext() {
  while (callsUnderWay_ < kMaxCalls && !callsWaiting_.empty()) {
    auto send = std::move(callsWaiting_.front());
    callsWaiting_.pop_front();
    ++callsUnderWay_;
    send();
  }
}

void ModemBridge::finishIfQuiet() {
  if (!options_.once || finished_) return;
  if (listingModems_ || !sweeps_.empty() || callsUnderWay_ || !callsWaiting_.empty() || flushScheduled_ ||
      !hooks_->idle())
    return;
  finished_ = true;
  emit finished(static_cast<int>(messages_.size()), reachable_);
}

}  // namespace quell
