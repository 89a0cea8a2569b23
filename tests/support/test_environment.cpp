#include "tests/support/test_environment.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "platform/user_defaults.h"

namespace quell::testing {

namespace {

std::filesystem::path makeTemporaryDirectory() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quell-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

// The peak resident set of a running process, from its status file; 0 once it has exited. (The peak that
// wait4 reports would include the copy of this process that fork made before the exec.)
long peakResidentKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  return 0;
}

}  // namespace

TemporaryDirectory::TemporaryDirectory() : path_(makeTemporaryDirectory()) {}
TemporaryDirectory::~TemporaryDirectory() {
  std::error_code ec;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
  std::filesystem::remove_all(path_, ec);
}

ScopedDataHome::ScopedDataHome() {
  if (const char* previous = std::getenv("XDG_DATA_HOME")) previous_ = previous;
  setenv("XDG_DATA_HOME", dir_.path().c_str(), 1);
}

ScopedDataHome::~ScopedDataHome() {
  if (previous_)
    setenv("XDG_DATA_HOME", previous_->c_str(), 1);
  else
    unsetenv("XDG_DATA_HOME");
}

std::string measurableAsanOptions() {
  const char* inherited = std::getenv("ASAN_OPTIONS");
  return std::string(inherited ? inherited : "") + ":quarantine_size_mb=4:thread_local_quarantine_size_kb=64";
}

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args, const std::string& input,
                         const std::map<std::string, std::string>& env, std::chrono::milliseconds timeLimit) {
  const auto deadline = std::chrono::steady_clock::now() + timeLimit;
  int in[2], out[2], err[2], exec[2];
  if (pipe2(in, O_CLOEXEC) || pipe2(out, O_CLOEXEC) || pipe2(err, O_CLOEXEC) || pipe2(exec, O_CLOEXEC))
    throw std::runtime_error("pipe failed");
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  // The exec closes the child's end of this pipe: from then on the child's memory is the program's own.
  close(exec[1]);
  char ignored;
  while (read(exec[0], &ignored, 1) < 0 && errno == EINTR) {
  }
  close(exec[0]);
  signal(SIGPIPE, SIG_IGN);

  ProcessResult result;
  std::size_t written = 0;
  int inFd = in[1];
  if (input.empty()) {
    close(inFd);
    inFd = -1;
  } else {
    fcntl(inFd, F_SETFL, O_NONBLOCK);
  }
  bool outOpen = true, errOpen = true;
  while (outOpen || errOpen) {
    pollfd fds[3] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}, {inFd, POLLOUT, 0}};
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 && !result.timedOut) {
      result.timedOut = true;
      kill(pid, SIGKILL);  // its pipes close, which ends this loop
    }
    result.peakMemoryKb = std::max(result.peakMemoryKb, peakResidentKb(pid));
    int n = poll(fds, inFd >= 0 ? 3 : 2, result.timedOut ? -1 : static_cast<int>(std::min<long>(left.count(), 20)));
    if (n < 0 && errno == EINTR) continue;
    char buffer[65536];
    for (int i = 0; i < 2; ++i) {
      if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      ssize_t r = read(fds[i].fd, buffer, sizeof buffer);
      if (r > 0)
        (i == 0 ? result.out : result.err).append(buffer, static_cast<std::size_t>(r));
      else
        (i == 0 ? outOpen : errOpen) = false;
    }
    if (inFd >= 0 && (fds[2].revents & (POLLOUT | POLLERR | POLLHUP))) {
      ssize_t w = write(inFd, input.data() + written, input.size() - written);
      if (w > 0) written += static_cast<std::size_t>(w);
      if (w < 0 && errno != EAGAIN) written = input.size();  // the child closed its input
      if (written == input.size()) {
        close(inFd);
        inFd = -1;
      }
    }
  }
  if (inFd >= 0) close(inFd);
  close(out[0]);
  close(err[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    auto end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

void storeRawSetting(const std::string& domain, const std::string& key, const std::string& bytes) {
  if (!UserDefaults::initWithSuiteName(domain)) throw std::runtime_error("cannot create the store");
  sqlite3* db = nullptr;
  sqlite3_open(UserDefaults::pathForDomain(domain).c_str(), &db);
  sqlite3_busy_timeout(db, 1000);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "INSERT OR REPLACE INTO defaults(key, value) VALUES(?1, ?2)", -1, &insert, nullptr);
  sqlite3_bind_text(insert, 1, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
  sqlite3_bind_blob(insert, 2, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
  const int rc = sqlite3_step(insert);
  sqlite3_finalize(insert);
  sqlite3_close(db);
  if (rc != SQLITE_DONE) throw std::runtime_error("cannot write the raw value");
}

StoreWriteLock::StoreWriteLock(const std::filesystem::path& database) {
  std::filesystem::create_directories(database.parent_path());
  if (sqlite3_open(database.c_str(), &db_) != SQLITE_OK ||
      sqlite3_exec(db_, "PRAGMA journal_mode=WAL; BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
    throw std::runtime_error("cannot lock " + database.string());
}

StoreWriteLock::~StoreWriteLock() {
  sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(db_);
}

std::string rawSetting(const std::string& domain, const std::string& key) {
  sqlite3* db = nullptr;
  sqlite3_open(UserDefaults::pathForDomain(domain).c_str(), &db);
  sqlite3_stmt* select = nullptr;
  sqlite3_prepare_v2(db, "SELECT value FROM defaults WHERE key = ?1", -1, &select, nullptr);
  sqlite3_bind_text(select, 1, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
  std::string bytes = "(absent)";
  if (sqlite3_step(select) == SQLITE_ROW)
    bytes.assign(static_cast<const char*>(sqlite3_column_blob(select, 0)),
                 static_cast<std::size_t>(sqlite3_column_bytes(select, 0)));
  sqlite3_finalize(select);
  sqlite3_close(db);
  return bytes;
}

}  // namespace quell::testing
