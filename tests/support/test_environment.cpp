#include "tests/support/test_environment.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
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

std::string fileContents(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool allChildrenSucceed(int count, const std::function<int(int)>& body) {
  std::vector<pid_t> children;
  for (int i = 0; i < count; ++i) {
    const pid_t pid = fork();
    if (pid == 0) _exit(body(i));
    if (pid > 0) children.push_back(pid);
  }
  bool succeeded = static_cast<int>(children.size()) == count;
  for (pid_t pid : children) {
    int status = 0;
    succeeded = waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0 && succeeded;
  }
  return succeeded;
}

namespace {

SqliteDatabase openOrThrow(const std::filesystem::path& path) {
  auto db = SqliteDatabase::openDurable(path, std::chrono::seconds(1));
  if (!db) throw std::runtime_error("cannot open " + path.string() + ": " + db.message());
  return std::move(*db);
}

}  // namespace

void storeRawSetting(const std::string& domain, const std::string& key, const std::string& bytes) {
  if (!UserDefaults::initWithSuiteName(domain)) throw std::runtime_error("cannot create the store");
  SqliteDatabase db = openOrThrow(UserDefaults::pathForDomain(domain));
  auto insert = db.prepare("INSERT OR REPLACE INTO defaults(key, value) VALUES(?1, ?2)");
  if (!insert) throw std::runtime_error("cannot write the raw value: " + insert.message());
  insert->bindText(1, key);
  insert->bindBlob(2, bytes);
  if (auto written = insert->run(); !written)
    throw std::runtime_error("cannot write the raw value: " + written.message());
}

StoreWriteLock::StoreWriteLock(const std::filesystem::path& database)
    : db_(std::make_unique<SqliteDatabase>(openOrThrow(database))), lock_(std::make_unique<SqliteTransaction>(*db_)) {
  if (!lock_->begun()) throw std::runtime_error("cannot lock " + database.string() + ": " + lock_->begun().message());
}

StoreWriteLock::~StoreWriteLock() = default;  // the transaction rolls back, then the connection closes

std::string rawSetting(const std::string& domain, const std::string& key) {
  SqliteDatabase db = openOrThrow(UserDefaults::pathForDomain(domain));
  auto select = db.prepare("SELECT value FROM defaults WHERE key = ?1");
  if (!select) throw std::runtime_error("cannot read the raw value: " + select.message());
  select->bindText(1, key);
  auto row = select->nextRow();
  if (!row) throw std::runtime_error("cannot read the raw value: " + row.message());
  return *row ? std::string(select->columnBlob(0)) : std::string("(absent)");
}

}  // namespace quell::testing
