// ModemManagerProbe: whether ModemManager runs on the system bus, and which modems it has, kept current as
// ModemManager starts and stops (its name's owner) and as modems come and go (its object manager's
// InterfacesAdded and InterfacesRemoved). It only reads. Every call is asynchronous. Main thread only.
#pragma once

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QList>
#include <QObject>
#include <QString>

class ObjectManagerProxy;

namespace quell {

class ModemManagerProbe : public QObject {
  Q_OBJECT

 public:
  enum class Status {
    kChecking,    // no answer yet
    kNoBus,       // there is no system bus to ask
    kAbsent,      // nothing serves org.freedesktop.ModemManager1 (and it could not be started)
    kUnreadable,  // ModemManager answered with an error (failure() says which)
    kRunning,
  };

  struct Modem {
    QString path;
    QString name;  // "Quectel EG25" from its Manufacturer and Model; empty when ModemManager gives neither
  };

  // Reads at once.
  explicit ModemManagerProbe(const QDBusConnection& systemBus, QObject* parent = nullptr);

  Status status() const { return status_; }
  // The modems, when running (in ModemManager's order of object paths).
  const QList<Modem>& modems() const { return modems_; }
  QString failure() const { return failure_; }

  // Reads afresh; changed follows.
  void refresh();

 signals:
  void changed();

 private:
  void publish(int generation, Status status, QList<Modem> modems);

  QDBusConnection bus_;
  ObjectManagerProxy* objects_;
  QDBusServiceWatcher watcher_;
  Status status_ = Status::kChecking;
  QList<Modem> modems_;
  QString failure_;
  int generation_ = 0;  // of the latest read; answers to older reads are dropped
};

}  // namespace quell
