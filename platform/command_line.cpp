#include "platform/command_line.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace quell {

namespace {

void print(std::FILE* stream, std::string_view text) { std::fwrite(text.data(), 1, text.size(), stream); }

}  // namespace

const char* projectVersion() { return QUELL_VERSION; }

std::optional<int> CommandLine::standardOption(int argc, char** argv) const {
  if (argc != 2) return std::nullopt;
  if (std::strcmp(argv[1], "--help") == 0) return help();
  if (std::strcmp(argv[1], "--version") == 0) {
    std::printf("%s %s\n", program_.c_str(), projectVersion());
    return 0;
  }
  return std::nullopt;
}

int CommandLine::help() const {
  print(stdout, usage_);
  return 0;
}

int CommandLine::usageError(std::string_view what) const {
  std::fprintf(stderr, "%s: %.*s\n", program_.c_str(), static_cast<int>(what.size()), what.data());
  print(stderr, usage_);
  return 2;
}

int CommandLine::fail(std::string_view what) const {
  std::fprintf(stderr, "%s: %.*s\n", program_.c_str(), static_cast<int>(what.size()), what.data());
  return 1;
}

void CommandLine::warn(std::string_view what) const {
  std::fprintf(stderr, "%s: warning: %.*s\n", program_.c_str(), static_cast<int>(what.size()), what.data());
}

int CommandLine::finish(int exitCode) const {
  const bool lost = std::fflush(stdout) != 0 || std::ferror(stdout);
  if (lost && exitCode == 0) return fail(std::string("cannot write to standard output: ") + std::strerror(errno));
  return exitCode;
}

std::optional<std::int64_t> parseWholeNumber(std::string_view text, std::int64_t min, std::int64_t max) {
  if (text.empty() || text.front() == '+' || (text.front() == '-' && min >= 0)) return std::nullopt;
  std::int64_t value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < min || value > max) return std::nullopt;
  return value;
}

std::optional<std::chrono::milliseconds> parseMilliseconds(std::string_view text, std::chrono::milliseconds min,
                                                           std::chrono::milliseconds max) {
  std::int64_t scale = 1;
  auto strip = [&](std::string_view suffix, std::int64_t factor) {
    if (text.size() <= suffix.size() || text.substr(text.size() - suffix.size()) != suffix) return false;
    text.remove_suffix(suffix.size());
    scale = factor;
    return true;
  };
  (void)(strip("ms", 1) || strip("min", 60000) || strip("s", 1000));
  auto count = parseWholeNumber(text, 0, max.count() / scale);
  if (!count) return std::nullopt;
  std::chrono::milliseconds value(*count * scale);
  if (value < min) return std::nullopt;
  return value;
}

}  // namespace quell
