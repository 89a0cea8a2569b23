// Helpers shared by the tests: a private settings directory per test, and running the project's programs.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/sqlite_database.h"

namespace quell::testing {

// A fresh temporary directory, removed with the object.
class TemporaryDirectory {
 public:
  TemporaryDirectory();
  ~TemporaryDirectory();
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Points XDG_DATA_HOME at a fresh temporary directory for the life of the object, so every settings domain
// a test opens is its own.
class ScopedDataHome {
 public:
  ScopedDataHome();
  ~ScopedDataHome();
  const std::filesystem::path& path() const { return dir_.path(); }

 private:
  TemporaryDirectory dir_;
  std::optional<std::string> previous_;
};

struct ProcessResult {
  int exitCode = -1;  // -1 when the process was killed by a signal
  std::string out;
  std::string err;
  long peakMemoryKb = 0;  // the largest resident set seen while it ran (sampled every 20 ms at least)
  bool timedOut = false;  // it was killed for running past its time limit
};

// Runs program with args, feeding `input` on standard input, with `env` added to this process's
// environment. Standard input, output and error are served concurrently, so large inputs cannot deadlock.
// A program still running after timeLimit is killed (timedOut). A generous limit turns a hang or a
// return to quadratic cost into a failure instead of a stuck test run.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input = "", const std::map<std::string, std::string>& env = {},
                         std::chrono::milliseconds timeLimit = std::chrono::minutes(5));

// ASAN_OPTIONS for a child whose memory a test measures: the sanitizer's quarantine of freed memory is kept
// small, so that the resident set shows what the program holds, not what it freed.
std::string measurableAsanOptions();

std::vector<std::string> splitLines(const std::string& text);

// The whole content of a file, empty when it cannot be read.
std::string fileContents(const std::filesystem::path& path);

// Runs body(i) for i = 0 .. count-1, each in a child process of its own, all at once, as separate programs
// sharing a store would; whether every child ended with exit code 0 (body's result).
bool allChildrenSucceed(int count, const std::function<int(int)>& body);

// Writes `bytes` as the raw stored value of key in a settings domain, bypassing the encoder, as a damaged or
// hostile file would hold it; and reads a raw value back ("(absent)" when there is none).
void storeRawSetting(const std::string& domain, const std::string& key, const std::string& bytes);
std::string rawSetting(const std::string& domain, const std::string& key);

// Holds the write lock of a SQLite store (an open BEGIN IMMEDIATE on a connection of its own) for the life
// of the object, as another writer that keeps the store busy would.
class StoreWriteLock {
 public:
  explicit StoreWriteLock(const std::filesystem::path& database);
  ~StoreWriteLock();
  StoreWriteLock(const StoreWriteLock&) = delete;
  StoreWriteLock& operator=(const StoreWriteLock&) = delete;

 private:
  std::unique_ptr<SqliteDatabase> db_;
  std::unique_ptr<SqliteTransaction> lock_;  // destroyed first: rolled back while the connection is open
};

}  // namespace quell::testing
