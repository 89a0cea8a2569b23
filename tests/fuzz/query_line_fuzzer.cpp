// Feeds arbitrary bytes through the query-line parser and, for every line that parses, the whole offline
// verdict on a store holding the default lists; a query that asks for reasons also gets them, in both
// forms. The decision for a query must agree with the verdict.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "engine/rule_store.h"
#include "extension/quellguard.h"
#include "extension/query_stream.h"
#include "platform/bundle.h"

const quell::BundleIdentity quell::kMainBundleIdentity = {"Quellguard", "app.quell.fuzz"};

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string dir = (std::filesystem::temp_directory_path() / "quell-fuzz-XXXXXX").string();
  if (!mkdtemp(dir.data())) abort();
  setenv("XDG_DATA_HOME", dir.c_str(), 1);
  std::vector<std::pair<quell::RuleListKind, std::vector<std::string>>> lists;
  for (auto kind : quell::kAllRuleListKinds) lists.emplace_back(kind, quell::DefaultRuleLists(kind));
  lists[3].second.push_back("cafe\u0301");
  lists[3].second.push_back("\uac00");
  if (!quell::RuleStore::writeLists(lists)) abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view line(reinterpret_cast<const char*>(data), size);
  auto parsed = quell::parseQueryLine(line);
  if (auto* query = std::get_if<quell::QueryLine>(&parsed)) {
    auto verdict = quell::Quellguard().offlineVerdict(query->request);
    quell::formatAnswerLine(query->id, verdict);
    if (query->explain) {
      auto explanation = quell::Quellguard().explainQuery(query->request);
      quell::formatAnswerLine(query->id, verdict, explanation.members);
      auto decision = quell::Quellguard().offlineDecision(query->request);
      if ((decision.action == quell::FilterAction::kJunk) != (verdict == quell::FilterVerdict::Junk)) abort();
    }
  }
  // The raw bytes as a message body too: the engine must take any bytes, not only what JSON lets through.
  quell::Quellguard().offlineVerdict({"13800138000", std::string(line)});
  return 0;
}
