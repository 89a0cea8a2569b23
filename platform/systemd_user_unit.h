// SystemdUserUnit: one unit of the user's service manager (systemd's org.freedesktop.systemd1 on the session
// bus), seen the way a settings switch needs it: whether there is a manager to ask, whether the unit is
// installed, enabled and running, and the two changes a switch makes: enable and start, or stop and
// disable.
//
// The state is always what systemd last answered, never what was asked for: a change, whether it succeeds
// or fails at some step, ends by reading the unit afresh, and only then is changeFinished emitted. While a
// change runs, isChanging() is true and further requests are ignored, so a double tap changes nothing
// twice. The running state follows systemd's reports (the unit's ActiveState), so a service that stops or
// fails by itself shows so. Every call is asynchronous. Main thread only.
#pragma once

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <optional>

class DBusPropertiesProxy;
class SystemdManagerProxy;

namespace quell {

class SystemdUserUnit : public QObject {
  Q_OBJECT

 public:
  enum class Availability {
    kChecking,      // no answer yet
    kNoBus,         // there is no session bus to ask
    kNoManager,     // nothing serves org.freedesktop.systemd1 on the session bus
    kNotInstalled,  // the manager has no unit file of this name
    kUnreadable,    // the manager answered the query with an error (failure() says which)
    kAvailable,
  };

  struct State {
    Availability availability = Availability::kChecking;
    QString unitFileState;  // as GetUnitFileState says: "enabled", "disabled", "masked", "static", ...
    QString activeState;    // the unit's ActiveState: "active", "inactive", "failed", "activating", ...

    // Enabled, also for this boot only or through a link or an alias.
    bool enabled() const;
    bool masked() const;
    bool running() const { return activeState == "active" || activeState == "reloading"; }
  };

  // The step of a change that failed.
  enum class Step { kEnable, kReload, kStart, kStop, kDisable };
  struct Failure {
    Step step;
    QString message;  // systemd's own words, for the log
  };

  // unitName: "quellmodem.service". Reads the state at once.
  SystemdUserUnit(const QDBusConnection& sessionBus, const QString& unitName, QObject* parent = nullptr);
  ~SystemdUserUnit() override;

  const State& state() const { return state_; }
  bool isChanging() const { return changing_; }
  // The reason behind kUnreadable, in systemd's words.
  QString failure() const { return failure_; }

  // Reads the state afresh; stateChanged follows.
  void refresh();
  // Enables the unit file (persistently), has the manager reload, starts the unit and waits for the start
  // job's result. Ignored unless the unit is available and no change is running.
  void enableAndStart();
  // Stops the unit, disables its unit file and has the manager reload. Ignored as enableAndStart is.
  void stopAndDisable();

 signals:
  void stateChanged();
  // A change ended and its outcome has been read back: failure is empty when every step succeeded.
  void changeFinished(const std::optional<Failure>& failure);

 private:
  void subscribe();
  void readUnit(int generation);
  void readUnitFileState(int generation, const QString& activeState);
  // The state a failed query leaves.
  State unreadable(const QDBusError& error);
  void publish(int generation, State state);
  void unitPropertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList& invalidated);
  void jobRemoved(uint id, const QDBusObjectPath& job, const QString& unit, const QString& result);
  void startUnit();
  void startJobEnded(const QString& result);
  // Ends a change: reads the state back, then reports the outcome.
  void finishChange(std::optional<Failure> failure);

  QDBusConnection bus_;
  const QString unitName_;
  SystemdManagerProxy* manager_;
  QDBusServiceWatcher managerWatcher_;  // the manager starting or going away
  QPointer<DBusPropertiesProxy> unit_;  // the unit's object, once LoadUnit named it
  State state_;
  QString failure_;
  int generation_ = 0;  // of the latest read; answers to older reads are dropped
  bool subscribed_ = false;
  bool changing_ = false;
  bool ending_ = false;  // the change is over; its outcome goes out with the next state read
  std::optional<Failure> outcome_;
  // The start job waited for, and the results of jobs that ended before StartUnit's answer named ours.
  QString startJob_;
  QHash<QString, QString> endedJobs_;
  QTimer startPatience_;
};

}  // namespace quell
