// ModemBridge: judges the SMS that a Linux modem receives, through ModemManager on the D-Bus system bus.
//
// It follows ModemManager's modems (its ObjectManager, and ModemManager itself going and coming back),
// lists what each modem already holds when it appears, and hears each new SMS (the Messaging interface's
// Added signal). An SMS is judged once, when its State is received (3); one still receiving (2) is judged
// when its State turns received. A data SMS (no text) and an SMS whose properties cannot be read are
// skipped with a log line. The verdict is the filter's own decision (the four lists, then the model).
//
// A junk SMS is first recorded in the junk log, durably; only then, with deleteJunk, is it deleted from the
// modem. Hooks run for each judged SMS (onHam, onJunk): the program and its arguments split like a shell's
// words but never run through a shell, the message in the environment (QUELL_SENDER, QUELL_BODY,
// QUELL_TIMESTAMP, QUELL_STAGE) and on standard input; a hook that fails is logged, one that hangs is
// killed after hookTimeout, and neither holds up judging.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QHash>
#include <QObject>
#include <QProcess>
#include <QSet>
#include <QString>
#include <chrono>
#include <memory>

#include "modembridge/junk_log.h"

namespace quell {

struct ModemBridgeOptions {
  bool deleteJunk = false;
  bool notify = true;  // a desktop notification for each junk SMS, when a session bus has a notifier
  QString onHam, onJunk;
  std::chrono::milliseconds hookTimeout{10000};
};

class ModemBridge : public QObject {
  Q_OBJECT

 public:
  ModemBridge(QDBusConnection systemBus, std::unique_ptr<JunkLog> log, ModemBridgeOptions options,
              QObject* parent = nullptr);

  // Starts following ModemManager; judges what every modem holds now.
  void start();
  // Judges what every modem holds now, once.
  void judgeStoredMessages();
  // Hooks still running.
  int runningHooks() const { return runningHooks_; }
  std::int64_t judgedCount() const { return judged_.size(); }

 signals:
  void judged(const QString& smsPath, bool junk);

 private slots:
  void managerAppeared();
  void interfacesAdded(const QDBusMessage& message);
  void smsAdded(const QDBusMessage& message);
  void propertiesChanged(const QDBusMessage& message);

 private:
  void judgeModem(const QString& modemPath);
  void judgeSms(const QString& smsPath, const QString& modemPath);
  void runHook(const QString& command, const QString& sender, const QString& body, const QString& timestamp,
               const QString& stage);
  void notifyJunk(const QString& sender);

  QDBusConnection bus_;
  std::unique_ptr<JunkLog> log_;
  ModemBridgeOptions options_;
  QSet<QString> judged_;               // fingerprints of the messages judged (or skipped for good)
  QHash<QString, QString> receiving_;  // SMS path -> modem path, for those still being received
  int runningHooks_ = 0;
};

}  // namespace quell
