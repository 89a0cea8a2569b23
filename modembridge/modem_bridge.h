// ModemBridge: judges the SMS that a Linux modem receives, through ModemManager on the D-Bus system bus, and
// sees each one through to the end exactly once.
//
// It follows ModemManager (its modems through its ObjectManager, ModemManager itself going and coming back),
// lists what each modem holds when it appears, and hears each new SMS by the Messaging interface's Added
// signal. An SMS is judged once it has been received whole (State 3); for one still being received it
// listens to that SMS's own PropertiesChanged until it is. Data SMS and status reports are skipped with a
// log line. The verdict is the filter's own decision (the four lists, then the model).
//
// Each message then goes through the steps of sms_ledger.h, each committed before the next is taken:
// judged (junk recorded in the junk log), deleted from the modem (junk, when options.deleteJunk or the
// shared setting deletesJunkFromModem(), read afresh for each message, asks for it), announced (its hook,
// and for junk a desktop notification that says whether it was deleted). A step that fails (a locked or
// full log, a refused Delete, properties that cannot be read) is tried again with growing pauses while the
// bridge runs, and the junk entry shows it as pending with the reason. A restart resumes every message
// from its last committed step. Steps of many messages are committed together, so a burst costs a few
// disk flushes, not one or more per message.
//
// Every D-Bus call is asynchronous (at most kMaxCalls under way, the rest queued) and goes to the
// ModemManager instance that showed the message, so that no call reaches another instance's message of the
// same path. Lives on one thread and needs its event loop.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>

#include "modembridge/hook_runner.h"
#include "modembridge/junk_log.h"
#include "modembridge/sms_ledger.h"

namespace quell {

struct ModemBridgeOptions {
  bool deleteJunk = false;  // delete junk from the modem even when the shared setting says not to
  bool notify = true;       // a desktop notification for each junk SMS, when a session bus has a notifier
  QString onHam, onJunk;
  std::chrono::milliseconds hookTimeout{10000};
  int maxHooks = 4;
  // Judge what the modems hold now and stop: no signals followed, no step tried again; what cannot be done
  // now stays pending for the next run.
  bool once = false;
};

class ModemBridge : public QObject {
  Q_OBJECT

 public:
  ModemBridge(QDBusConnection systemBus, std::unique_ptr<JunkLog> log, ModemBridgeOptions options,
              QObject* parent = nullptr);

  // Resumes what an earlier run left unfinished, follows ModemManager (unless options.once) and judges what
  // every modem holds. Logs "following ModemManager" once it listens.
  void start();

 signals:
  // options.once only: nothing more is under way. pending: messages left unfinished; reachable: whether
  // ModemManager answered at all.
  void finished(int pending, bool reachable);

 private slots:
  void managerOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);
  void interfacesAdded(const QDBusMessage& message);
  void smsAdded(const QDBusMessage& message);
  void smsPropertiesChanged(const QDBusMessage& message);

 private:
  struct Message {
    SmsRecord record;
    SmsStep committed = SmsStep::kJudged;  // the step on disk (for a record with an id)
    bool live = false;                     // record.owner and record.path reach it now
    bool watching = false;                 // its PropertiesChanged is followed
    std::uint64_t sweep = 0;               // the sweep that is reading it, if any
    int attempts = 0;                      // failures of the step under way
    bool waitingForModem = false;          // to be deleted, once it is seen again or known to be gone
    bool announcing = false;               // its hook or notification is under way
    int generation = 0;                    // grows when it is attached or detached: older answers are ignored
  };
  // One listing of a modem's messages: the messages last seen on the modem's device that the listing does not
  // find are gone from it.
  struct Sweep {
    std::uint64_t serial = 0;
    QString owner, device;
    std::set<std::int64_t> candidates, matched;
    int reading = 0;
    bool listed = false, complete = true, again = false;
  };
  using Reply = std::function<void(const QDBusMessage&)>;

  // Finding messages.
  void sweepAll();
  void sweepModem(const QString& owner, const QString& modem);
  void concludeSweep(const QString& modem);
  void sight(const QString& owner, const QString& modem, const QString& path, std::uint64_t sweep);
  void readProperties(std::uint64_t id);
  void propertiesRead(std::uint64_t id, const QDBusMessage& reply);
  void identify(std::uint64_t id, const QVariantMap& properties);
  void resumeUnfinished();
  void gone(const std::vector<std::int64_t>& rows);

  // The steps.
  void judge(std::uint64_t id, const QVariantMap& properties);
  void advance(std::uint64_t id);
  void deleteFromModem(std::uint64_t id);
  void announce(std::uint64_t id);
  void save(std::uint64_t id);
  void flush();
  void retry(std::uint64_t id, const QString& why, void (ModemBridge::*step)(std::uint64_t));

  // Bookkeeping.
  std::uint64_t adopt(Message message);
  void attach(std::uint64_t id, const QString& owner, const QString& modem, const QString& path);
  void detach(std::uint64_t id);
  void erase(std::uint64_t id);
  void watch(std::uint64_t id, bool on);
  void leaveSweep(std::uint64_t id, bool read, std::int64_t row);
  Message* current(std::uint64_t id, int generation);
  QString deviceOf(const QString& modem) const { return devices_.value(modem, modem); }
  void notifyJunk(const QString& sender, bool deleted);
  bool wantsDeletion() const;
  void call(const QString& owner, const QString& path, const char* interface, const char* method,
            const QVariantList& arguments, Reply reply);
  void callNext();
  void finishIfQuiet();

  QDBusConnection bus_;
  std::unique_ptr<JunkLog> log_;
  SmsLedger ledger_;
  ModemBridgeOptions options_;
  HookRunner* hooks_;
  QHash<QString, QString> devices_;            // modem path -> its device identifier
  std::map<std::uint64_t, Message> messages_;  // the messages under way
  QHash<QString, std::uint64_t> byPath_;       // owner + path -> message
  QHash<std::int64_t, std::uint64_t> byRow_;   // record id -> message
  QSet<std::int64_t> claimed_;                 // records matched to a message of the current ModemManager
  QHash<QString, Sweep> sweeps_;               // modem path -> its listing under way
  std::set<std::uint64_t> staged_;             // messages whose record waits to be saved
  bool flushScheduled_ = false;
  int flushFailures_ = 0;
  int callsUnderWay_ = 0;
  std::deque<std::function<void()>> callsWaiting_;
  std::uint64_t nextId_ = 1;
  bool listingModems_ = false;
  bool reachable_ = true;
  bool finished_ = false;
};

}  // namespace quell
