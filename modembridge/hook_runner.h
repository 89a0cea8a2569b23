// HookRunner: runs the SMS bridge's hooks (--on-ham, --on-junk), a few at a time, none dropped.
//
// A hook is a program and its arguments, split like a shell's words but never run through a shell. It gets
// the message in its environment (QUELL_SENDER, QUELL_BODY, QUELL_TIMESTAMP, QUELL_STAGE, and
// QUELL_MESSAGE_ID, which stays the same for one message across restarts) and on standard input. A body too long for
// the environment (over 128 KiB) is passed on standard input only, with QUELL_BODY left out and QUELL_BODY_ON_STDIN=1
// set instead. At most maxRunning hooks run at once; the others wait in order. Each runs in a process group of its own:
// one still running after the timeout is killed with everything it started. A hook that fails, or cannot be started, is
// logged. Lives on the thread of its parent and needs its event loop.
#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <chrono>
#include <deque>
#include <functional>

namespace quell {

struct HookMessage {
  QString id, sender, body, timestamp, stage;
};

class HookRunner : public QObject {
  Q_OBJECT

 public:
  HookRunner(int maxRunning, std::chrono::milliseconds timeout, QObject* parent = nullptr);

  // Runs command for message, at once or when a running hook ends. started() is called once the hook runs,
  // or once it could not be started (then logged); at once when command holds no program.
  void run(const QString& command, const HookMessage& message, std::function<void()> started);
  // No hook runs or waits.
  bool idle() const { return running_ == 0 && waiting_.empty(); }

 signals:
  void becameIdle();

 private:
  struct Waiting {
    QStringList words;
    HookMessage message;
    std::function<void()> started;
  };
  void startNext();
  void ended();

  int maxRunning_;
  std::chrono::milliseconds timeout_;
  int running_ = 0;
  std::deque<Waiting> waiting_;
};

}  // namespace quell
