// CommandLine: the conventions every Quell program keeps on its command line, in one place.
//
//  - `--help` prints the usage to standard output and exits 0.
//  - `--version` prints the program's name and the project's version ("quellrules 1.0.0") and exits 0.
//  - A usage error prints one line, "<program>: <what is wrong>", then the usage, to standard error, and
//    exits 2.
//  - Any other failure prints "<program>: <what failed>" to standard error and exits 1.
//
// Numbers given on the command line or in the environment are read by parseWholeNumber and
// parseMilliseconds, which take all of the text or nothing: "30s" is refused where milliseconds are asked
// for, never read as 30 or clamped to something else.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quell {

class CommandLine {
 public:
  // program: the name printed before every message ("quellrules"); usage: the whole usage text, each line
  // ending in a newline.
  CommandLine(std::string program, std::string usage) : program_(std::move(program)), usage_(std::move(usage)) {}

  // When the only argument is --help or --version, prints what it asks for and returns 0 (the exit code);
  // otherwise nullopt and the program goes on.
  std::optional<int> standardOption(int argc, char** argv) const;

  // Prints the usage to standard output; returns 0.
  int help() const;
  // Prints a one-line error and the usage to standard error; returns 2.
  int usageError(std::string_view what) const;
  // Prints "<program>: what" to standard error; returns 1.
  int fail(std::string_view what) const;
  // Prints "<program>: warning: what" to standard error.
  void warn(std::string_view what) const;
  // The exit code to leave with once a command is done: flushes standard output, and turns a success
  // into a failure (1, with a message) when anything written there was lost (a full device, a closed
  // pipe), so that a script never takes a lost listing or export for a good one.
  int finish(int exitCode) const;

  const std::string& program() const { return program_; }

 private:
  std::string program_;
  std::string usage_;
};

// The project's version, "1.0.0".
const char* projectVersion();

// text as a whole decimal number in [min, max]: digits only (a leading '-' where min is negative), nothing
// before or after them; nullopt otherwise, or when the number lies outside the range.
std::optional<std::int64_t> parseWholeNumber(std::string_view text, std::int64_t min, std::int64_t max);

// text as a duration in [min, max]: a whole number of milliseconds, optionally followed by "ms", or a whole
// number followed by "s" or "min". nullopt for anything else, so that a mistyped value is refused rather
// than read as something the person did not mean.
std::optional<std::chrono::milliseconds> parseMilliseconds(std::string_view text, std::chrono::milliseconds min,
                                                           std::chrono::milliseconds max);

}  // namespace quell
