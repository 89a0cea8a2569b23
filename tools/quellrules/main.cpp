// quellrules: lists, edits, backs up and restores the four rule lists from the command line, through the
// same rule store the app and the filter use.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string_view>

#include "engine/rule_store.h"
#include "platform/atomic_file.h"
#include "platform/bundle.h"
#include "platform/command_line.h"
#include "platform/one_line_text.h"
#include "platform/unicode_text.h"
#include "tools/quellrules/rules_backup.h"

const quell::BundleIdentity quell::kMainBundleIdentity = {"Quellbox", "app.quell.Quellbox"};

namespace {

using quell::RuleListKind;
using quell::RuleStore;

struct KindTitle {
  RuleListKind kind;
  const char* title;
};

constexpr KindTitle kKindTitles[] = {
    {RuleListKind::NumberWhitelist, "号码白名单"},
    {RuleListKind::NumberBlacklist, "号码黑名单"},
    {RuleListKind::KeywordWhitelist, "关键词白名单"},
    {RuleListKind::KeywordBlacklist, "关键词黑名单"},
};

std::optional<RuleListKind> parseKind(const std::string& name) {
  for (auto kind : quell::kAllRuleListKinds)
    if (name == quell::ruleListName(kind) || name == quell::ruleListKey(kind)) return kind;
  return std::nullopt;
}

const quell::CommandLine kCommandLine(
    "quellrules",
    "usage: quellrules list\n"
    "       quellrules add LIST ENTRY\n"
    "       quellrules delete LIST INDEX\n"
    "       quellrules export [FILE]\n"
    "       quellrules import FILE|-\n"
    "       quellrules reset            (the four lists as on a new installation)\n"
    "LIST: number-whitelist, number-blacklist, keyword-whitelist or keyword-blacklist\n");

int fail(const std::string& message) { return kCommandLine.fail(message); }

// The failure of a write or an edit, for the person who asked for it. An edit refuses a list it cannot read,
// since writing it would overwrite whatever is stored there.
int writeFailed(const quell::Failure<quell::StoreError>& failure, const std::string& prefix = "") {
  switch (failure.code) {
    case quell::StoreError::kBusy:
      return fail(prefix + "the store is busy (another program is writing it); nothing was changed, try again");
    case quell::StoreError::kCannotOpen: return fail(prefix + failure.message);
    case quell::StoreError::kUnreadable:
      return fail(prefix + failure.message + ", and is left as it is; replace it with 'quellrules import' or " +
                  "'quellrules reset'");
    default: return fail(prefix + "the store could not be written: " + failure.message);
  }
}

int list() {
  for (const auto& k : kKindTitles) {
    auto entries = RuleStore::readStoredList(k.kind);
    std::printf("%s (%s)%s\n", k.title, quell::ruleListName(k.kind), entries ? "" : " [unreadable: reads as empty]");
    std::size_t index = 0;
    for (const auto& entry : entries ? *entries : std::vector<std::string>())
      std::printf("  %zu\t%s\n", index++, quell::oneLineText(entry).c_str());
    if (k.kind == RuleListKind::NumberWhitelist)
      for (const char* number : quell::BuiltInServiceNumbers) std::printf("  -\t%s\t(built-in)\n", number);
  }
  return 0;
}

int add(RuleListKind kind, const std::string& typed) {
  if (!quell::isWellFormedUtf8(typed)) return fail("an entry must be UTF-8 text");
  auto entry = quell::typedRuleEntry(typed);
  if (!entry) return fail("an entry cannot be blank");
  auto edited = RuleStore::editList(kind, [&](std::vector<std::string>& entries) {
    entries.push_back(*entry);
    return true;
  });
  return edited ? 0 : writeFailed(edited.failure());
}

int remove(RuleListKind kind, const std::string& indexText) {
  auto parsed = quell::parseWholeNumber(indexText, 0, INT64_MAX);
  if (!parsed) return kCommandLine.usageError("INDEX must be a whole number as 'quellrules list' shows it");
  const auto index = static_cast<std::uint64_t>(*parsed);
  bool found = false;
  auto edited = RuleStore::editList(kind, [&](std::vector<std::string>& entries) {
    found = index < entries.size();
    if (found) entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(index));
    return found;
  });
  if (!edited) return writeFailed(edited.failure());
  if (!found)
    return fail("no entry " + indexText + " in " + quell::ruleListName(kind) + " (built-in numbers cannot be deleted)");
  return 0;
}

int exportLists(const char* path) {
  quell::RuleLists lists;
  for (const auto& k : kKindTitles) {
    auto entries = RuleStore::readStoredList(k.kind);
    if (!entries)
      std::fprintf(stderr, "quellrules: warning: %s cannot be read and is exported as empty\n",
                   quell::ruleListName(k.kind));
    lists[k.kind] = entries ? std::move(*entries) : std::vector<std::string>();
  }
  std::string text = quell::formatRulesBackup(lists);
  if (!path) {
    std::fwrite(text.data(), 1, text.size(), stdout);  // main sees whether it was written
    return 0;
  }
  // A failed export leaves the previous backup whole.
  if (auto written = quell::writeFileAtomically(path, text); !written) return fail(written.message());
  return 0;
}

int importLists(const std::string& path) {
  std::string text;
  if (path == "-") {
    text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  } else {
    std::ifstream in(path, std::ios::binary);
    if (!in) return fail("cannot read " + path);
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::string error;
  auto lists = quell::parseRulesBackup(text, &error);
  if (!lists) return fail("nothing imported: " + error);
  std::vector<std::pair<RuleListKind, std::vector<std::string>>> writes(lists->begin(), lists->end());
  // One transaction: either every list of the backup is replaced or the store stays as it was.
  if (auto written = RuleStore::writeLists(writes); !written)
    return writeFailed(written.failure(), "nothing imported: ");
  return 0;
}

int reset() {
  std::vector<std::pair<RuleListKind, std::vector<std::string>>> writes;
  for (auto kind : quell::kAllRuleListKinds) writes.emplace_back(kind, quell::DefaultRuleLists(kind));
  if (auto written = RuleStore::writeLists(writes); !written) return writeFailed(written.failure());
  return 0;
}

int run(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return kCommandLine.usageError("a command is needed");
  const std::string& command = args[0];
  if (command == "list" && args.size() == 1) return list();
  if (command == "reset" && args.size() == 1) return reset();
  if (command == "export" && args.size() <= 2) return exportLists(args.size() == 2 ? argv[2] : nullptr);
  if (command == "import" && args.size() == 2) return importLists(args[1]);
  if ((command == "add" || command == "delete") && args.size() == 3) {
    auto kind = parseKind(args[1]);
    if (!kind) return kCommandLine.usageError("unknown list \"" + quell::oneLineText(args[1]) + "\"");
    return command == "add" ? add(*kind, args[2]) : remove(*kind, args[2]);
  }
  return kCommandLine.usageError("unknown command or wrong arguments: \"" + quell::oneLineText(command) + "\"");
}

}  // namespace

int main(int argc, char** argv) {
  if (auto exit = kCommandLine.standardOption(argc, argv)) return kCommandLine.finish(*exit);
  return kCommandLine.finish(run(argc, argv));
}
