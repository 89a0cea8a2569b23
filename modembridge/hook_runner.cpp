#include "modembridge/hook_runner.h"

#include <signal.h>
#include <unistd.h>

#include <QProcessEnvironment>
#include <QTimer>

#include "platform/system_log.h"

namespace quell {

namespace {

// The kernel takes no single environment string longer than 32 pages (MAX_ARG_STRLEN), "QUELL_BODY=" and
// the terminating NUL included.
constexpr qsizetype kLongestEnvironmentBody = 128 * 1024 - 16;

}  // namespace

HookRunner::HookRunner(int maxRunning, std::chrono::milliseconds timeout, QObject* parent)
    : QObject(parent), maxRunning_(std::max(maxRunning, 1)), timeout_(timeout) {}

void HookRunner::run(const QString& command, const HookMessage& message, std::function<void()> started) {
  QStringList words = QProcess::splitCommand(command);
  if (words.isEmpty()) {
    started();
    return;
  }
  waiting_.push_back({std::move(words), message, std::move(started)});
  startNext();
}

void HookRunner::startNext() {
  while (running_ < maxRunning_ && !waiting_.empty()) {
    Waiting next = std::move(waiting_.front());
    waiting_.pop_front();
    auto* hook = new QProcess(this);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QUELL_MESSAGE_ID", next.message.id);
    environment.insert("QUELL_SENDER", next.message.sender);
    const QByteArray body = next.message.body.toUtf8();
    if (body.size() <= kLongestEnvironmentBody)
      environment.insert("QUELL_BODY", next.message.body);
    else
      environment.insert("QUELL_BODY_ON_STDIN", "1");
    environment.insert("QUELL_TIMESTAMP", next.message.timestamp);
    environment.insert("QUELL_STAGE", next.message.stage);
    hook->setProcessEnvironment(environment);
    hook->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    hook->setStandardOutputFile(QProcess::nullDevice());
    // Its own process group, so that a timeout ends whatever it started too.
    hook->setChildProcessModifier([] { ::setpgid(0, 0); });
    const QString program = next.words.takeFirst();
    ++running_;
    connect(hook, &QProcess::finished, this, [this, hook, program](int code, QProcess::ExitStatus status) {
      if (status != QProcess::NormalExit || code != 0)
        NSLog(QString("hook %1 failed (%2)")
                  .arg(program, status == QProcess::NormalExit ? QString("exit %1").arg(code) : QString("killed"))
                  .toStdString());
      hook->deleteLater();
      ended();
    });
    connect(hook, &QProcess::errorOccurred, this, [this, hook, program](QProcess::ProcessError error) {
      if (error != QProcess::FailedToStart) return;  // the others end in finished()
      NSLog(("hook " + program + " could not be started: " + hook->errorString()).toStdString());
      hook->deleteLater();
      ended();
    });
    connect(hook, &QProcess::started, this, [hook, body] {
      hook->write(body);
      hook->closeWriteChannel();
    });
    QTimer::singleShot(timeout_, hook, [hook, program] {
      if (hook->state() != QProcess::Running) return;
      NSLog(("hook " + program + " ran too long and is killed, with what it started").toStdString());
      ::kill(-static_cast<pid_t>(hook->processId()), SIGKILL);
    });
    hook->start(program, next.words);
    next.started();
  }
}

void HookRunner::ended() {
  --running_;
  startNext();
  if (idle()) emit becameIdle();
}

}  // namespace quell
