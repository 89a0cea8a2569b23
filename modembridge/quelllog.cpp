// quelllog: reads the junk log that the SMS bridge keeps, and takes a message back.
//   quelllog list [--json]     every entry, oldest first (--json: one JSON object per line)
//   quelllog show ID           one entry, every field
//   quelllog export [FILE]     every entry as JSON Lines, to FILE (replaced whole, or left as it was) or
//                              standard output
//   quelllog not-junk ID       adds the sender to the number whitelist and marks the entry
//   quelllog clear             removes every entry
// The log is $XDG_DATA_HOME/quell/junk-log.sqlite, or the file named by QUELL_JUNK_LOG. The reading commands
// open it read-only, so a log on a read-only mount can be read. Output that cannot be written whole (a full
// disk) is a failure, exit 1.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "modembridge/junk_log.h"
#include "platform/atomic_file.h"
#include "platform/bundle.h"
#include "platform/command_line.h"
#include "platform/one_line_text.h"

const quell::BundleIdentity quell::kMainBundleIdentity = {"Quellbox", "app.quell.quelllog"};

namespace {

using quell::JunkEntry;
using quell::JunkLog;

const quell::CommandLine kCli("quelllog",
                              "usage: quelllog list [--json]\n"
                              "       quelllog show ID\n"
                              "       quelllog export [FILE]\n"
                              "       quelllog not-junk ID   (the sender goes on the number whitelist)\n"
                              "       quelllog clear\n");

int fail(const std::string& message) { return kCli.fail(message); }

std::string jsonLine(const JunkEntry& entry) {
  return quell::junkEntryJson(entry).dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

// "matched "a" "b"", or "score 1.23", for the list's reason column.
std::string reasonText(const JunkEntry& entry) {
  const auto& reasons = entry.message.reasons;
  if (reasons.contains("score") && reasons["score"].is_number()) {
    char score[32];
    std::snprintf(score, sizeof score, "score %.3f", reasons["score"].get<double>());
    return score;
  }
  std::string matched;
  if (reasons.contains("matched") && reasons["matched"].is_array())
    for (const auto& entryText : reasons["matched"])
      if (entryText.is_string()) {
        if (!matched.empty()) matched += ' ';
        matched += entryText.get<std::string>();
      }
  return matched;
}

int list(JunkLog& log, bool json) {
  auto entries = log.entries();
  if (!entries) return fail(entries.message());
  for (const auto& entry : *entries) {
    if (json) {
      std::fputs(jsonLine(entry).c_str(), stdout);
      continue;
    }
    const std::string stage = entry.message.reasons.value("stage", std::string());
    const std::string pending = entry.pending ? " [pending: " + quell::oneLineText(*entry.pending) + "]" : "";
    std::printf("%lld\t%s\t%s\t%s %s%s%s%s\t%s\n", static_cast<long long>(entry.id),
                quell::oneLineText(entry.message.received).c_str(), quell::oneLineText(entry.message.sender).c_str(),
                stage.c_str(), quell::oneLineText(reasonText(entry)).c_str(), entry.deleted ? " [deleted]" : "",
                entry.notJunk ? " [not junk]" : "", pending.c_str(), quell::oneLineText(entry.message.body).c_str());
  }
  return 0;
}

int show(JunkLog& log, std::int64_t id) {
  auto entry = log.entry(id);
  if (!entry) return fail(entry.message());
  if (!*entry) return fail("no entry " + std::to_string(id) + " in the junk log");
  const JunkEntry& e = **entry;
  std::printf("id        %lld\nreceived  %s\nlogged    %s\nmodem     %s\nsender    %s\nstage     %s\n",
              static_cast<long long>(e.id), quell::oneLineText(e.message.received).c_str(), e.logged.c_str(),
              quell::oneLineText(e.message.modem).c_str(), quell::oneLineText(e.message.sender).c_str(),
              e.message.reasons.value("stage", std::string()).c_str());
  std::printf(
      "reasons   %s\n",
      quell::oneLineText(e.message.reasons.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace))
          .c_str());
  std::printf("deleted   %s\nnot junk  %s\n", e.deleted ? "yes" : "no", e.notJunk ? "yes" : "no");
  if (e.pending) std::printf("pending   %s\n", quell::oneLineText(*e.pending).c_str());
  std::printf("body      %s\n", quell::oneLineText(e.message.body).c_str());
  return 0;
}

int exportEntries(JunkLog& log, const char* path) {
  auto entries = log.entries();
  if (!entries) return fail(entries.message());
  std::string text;
  for (const auto& entry : *entries) text += jsonLine(entry);
  if (!path) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
  }
  // Whole or not at all: a failed export leaves the previous one as it was.
  if (auto written = quell::writeFileAtomically(path, text); !written) return fail(written.message());
  return 0;
}

int notJunk(JunkLog& log, std::int64_t id) {
  auto sender = quell::whitelistSender(log, id);
  if (!sender) return fail(sender.message());
  std::printf("%s is on the number whitelist\n", quell::oneLineText(*sender).c_str());
  return 0;
}

// The log for a command: read-only for the reading commands (a read-only mount, another user's log), and
// an empty one in memory where no log was ever kept, so that reading never makes a file; opened for
// writing, which makes an empty one, for the others.
quell::Result<std::unique_ptr<JunkLog>, quell::StoreError> openLog(bool reading) {
  const auto path = JunkLog::defaultPath();
  if (!reading) return JunkLog::open(path);
  std::error_code ec;
  if (!std::filesystem::exists(path, ec) && !ec) return JunkLog::open(":memory:");
  return JunkLog::openForReading(path);
}

}  // namespace

int main(int argc, char** argv) {
  if (auto code = kCli.standardOption(argc, argv)) return *code;
  if (argc < 2) return kCli.usageError("a command is needed");
  const std::string command = argv[1];
  const bool known = (command == "list" && (argc == 2 || (argc == 3 && std::strcmp(argv[2], "--json") == 0))) ||
                     ((command == "show" || command == "not-junk") && argc == 3) ||
                     (command == "export" && argc <= 3) || (command == "clear" && argc == 2);
  if (!known) return kCli.usageError("unknown command or arguments: " + quell::oneLineText(command));
  std::optional<std::int64_t> id;
  if (command == "show" || command == "not-junk") {
    id = quell::parseWholeNumber(argv[2], 1, INT64_MAX);
    if (!id)
      return fail("ID must be a whole number as 'quelllog list' shows it, not \"" + quell::oneLineText(argv[2]) + "\"");
  }
  const bool reading = command == "list" || command == "show" || command == "export";
  auto log = openLog(reading);
  if (!log) return fail(log.message());
  if (command == "list") return kCli.finish(list(**log, argc == 3));
  if (command == "show") return kCli.finish(show(**log, *id));
  if (command == "export") return kCli.finish(exportEntries(**log, argc == 3 ? argv[2] : nullptr));
  if (command == "not-junk") return kCli.finish(notJunk(**log, *id));
  if (auto cleared = (*log)->clear(); !cleared) return fail(cleared.message());
  return 0;
}
