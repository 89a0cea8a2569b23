// quelllog: reads the junk log that the SMS bridge keeps, and takes a message back.
//   quelllog list [--json]     every entry, oldest first (--json: one JSON object per line)
//   quelllog show ID           one entry, every field
//   quelllog export [FILE]     every entry as JSON Lines, to FILE or standard output
//   quelllog not-junk ID       adds the sender to the number whitelist and marks the entry
//   quelllog clear             removes every entry
// The log is $XDG_DATA_HOME/quell/junk-log.sqlite, or the file named by QUELL_JUNK_LOG.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "engine/rule_store.h"
#include "modembridge/junk_log.h"
#include "platform/bundle.h"
#include "platform/one_line_text.h"

const quell::BundleIdentity quell::kMainBundleIdentity = {"Quellbox", "app.quell.quelllog"};

namespace {

using quell::JunkEntry;
using quell::JunkLog;

int fail(const std::string& message) {
  std::fprintf(stderr, "quelllog: %s\n", message.c_str());
  return 1;
}

int usage() {
  std::fprintf(stderr,
               "usage: quelllog list [--json]\n"
               "       quelllog show ID\n"
               "       quelllog export [FILE]\n"
               "       quelllog not-junk ID   (the sender goes on the number whitelist)\n"
               "       quelllog clear\n");
  return 2;
}

std::optional<std::int64_t> parseId(const char* text) {
  std::int64_t id = 0;
  const char* end = text + std::strlen(text);
  auto [stop, ec] = std::from_chars(text, end, id);
  if (ec != std::errc() || stop != end || id <= 0) return std::nullopt;
  return id;
}

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
    std::printf("%lld\t%s\t%s\t%s %s%s%s\t%s\n", static_cast<long long>(entry.id),
                quell::oneLineText(entry.message.received).c_str(), quell::oneLineText(entry.message.sender).c_str(),
                stage.c_str(), quell::oneLineText(reasonText(entry)).c_str(), entry.deleted ? " [deleted]" : "",
                entry.notJunk ? " [not junk]" : "", quell::oneLineText(entry.message.body).c_str());
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
  std::printf("deleted   %s\nnot junk  %s\nbody      %s\n", e.deleted ? "yes" : "no", e.notJunk ? "yes" : "no",
              quell::oneLineText(e.message.body).c_str());
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
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  return out ? 0 : fail(std::string("cannot write ") + path);
}

int notJunk(JunkLog& log, std::int64_t id) {
  auto entry = log.entry(id);
  if (!entry) return fail(entry.message());
  if (!*entry) return fail("no entry " + std::to_string(id) + " in the junk log");
  const std::string& sender = (*entry)->message.sender;
  if (sender.empty()) return fail("entry " + std::to_string(id) + " has no sender to whitelist");
  // The whitelist is changed only when it can be read, so that nothing stored is written over, and a
  // sender already on it is not added again.
  auto whitelisted = quell::RuleStore::editList(quell::RuleListKind::NumberWhitelist, [&](auto& whitelist) {
    if (std::find(whitelist.begin(), whitelist.end(), sender) != whitelist.end()) return false;
    whitelist.push_back(sender);
    return true;
  });
  if (!whitelisted)
    return fail("the number whitelist could not be changed (" + whitelisted.message() + "); nothing changed");
  if (auto marked = log.markNotJunk(id); !marked)
    return fail("the sender is whitelisted, but the entry could not be marked: " + marked.message());
  std::printf("%s is on the number whitelist\n", quell::oneLineText(sender).c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return usage();
  const std::string command = argv[1];
  const bool known = (command == "list" && (argc == 2 || (argc == 3 && std::strcmp(argv[2], "--json") == 0))) ||
                     ((command == "show" || command == "not-junk") && argc == 3) ||
                     (command == "export" && argc <= 3) || (command == "clear" && argc == 2);
  if (!known) return usage();
  std::optional<std::int64_t> id;
  if (command == "show" || command == "not-junk") {
    id = parseId(argv[2]);
    if (!id) return fail(std::string("ID must be a whole number as 'quelllog list' shows it, not \"") + argv[2] + "\"");
  }
  auto log = JunkLog::open(JunkLog::defaultPath());
  if (!log) return fail(log.message());
  if (command == "list") return list(**log, argc == 3);
  if (command == "show") return show(**log, *id);
  if (command == "export") return exportEntries(**log, argc == 3 ? argv[2] : nullptr);
  if (command == "not-junk") return notJunk(**log, *id);
  if (auto cleared = (*log)->clear(); !cleared) return fail(cleared.message());
  return 0;
}
