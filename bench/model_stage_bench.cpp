// Speed of the model stage: the full offline verdict of a message that reaches the model (store reads and
// the per-call model load included), the same decision with its reasons (score and top words, as
// --explain gives them), the model load alone, the bag of words of a typical SMS, and batch classification
// through the filter's decision with the model loaded once over the dev files.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "engine/decision_description.h"
#include "engine/message_normalization.h"
#include "engine/model/spam_model.h"
#include "engine/rule_store.h"
#include "extension/quellguard.h"

namespace {

// A typical 70-character Chinese SMS that no default rule decides.
const char* kMessage = "【某某商城】会员日特惠：全场满199减100，新品首发低至五折，还有积分翻倍和免费包邮，快来选购吧";

void writeDefaultLists() {
  std::vector<std::pair<quell::RuleListKind, std::vector<std::string>>> lists;
  for (auto kind : quell::kAllRuleListKinds) lists.emplace_back(kind, quell::DefaultRuleLists(kind));
  if (!quell::RuleStore::writeLists(lists)) abort();
}

void BM_OfflineVerdictReachingTheModel(benchmark::State& state) {
  writeDefaultLists();
  quell::Quellguard guard;
  quell::ILMessageFilterQueryRequest request{"13800138000", kMessage};
  for (auto _ : state) benchmark::DoNotOptimize(guard.offlineVerdict(request));
}
BENCHMARK(BM_OfflineVerdictReachingTheModel)->Unit(benchmark::kMicrosecond)->Repetitions(5)->DisplayAggregatesOnly();

// What asking for the reasons costs: the decision with the model's top words, and its JSON members.
void BM_ExplainedDecisionReachingTheModel(benchmark::State& state) {
  writeDefaultLists();
  quell::Quellguard guard;
  quell::ILMessageFilterQueryRequest request{"13800138000", kMessage};
  for (auto _ : state) benchmark::DoNotOptimize(quell::decisionMembers(guard.offlineDecision(request)).size());
}
BENCHMARK(BM_ExplainedDecisionReachingTheModel)->Unit(benchmark::kMicrosecond)->Repetitions(5)->DisplayAggregatesOnly();

void BM_LoadCompiledModel(benchmark::State& state) {
  for (auto _ : state) {
    auto model = quell::QBModel210713::create();
    if (!model) abort();
    benchmark::DoNotOptimize(model);
  }
}
BENCHMARK(BM_LoadCompiledModel)->Unit(benchmark::kMicrosecond)->Repetitions(5)->DisplayAggregatesOnly();

void BM_BuildTokenCounts(benchmark::State& state) {
  std::string body = quell::normalizeMessageBody(kMessage);
  for (auto _ : state) benchmark::DoNotOptimize(quell::buildTokenCounts(body));
  state.SetLabel(std::to_string(body.size()) + " bytes");
}
BENCHMARK(BM_BuildTokenCounts)->Unit(benchmark::kMicrosecond)->Repetitions(5)->DisplayAggregatesOnly();

std::vector<std::string> devMessages() {
  std::vector<std::string> messages;
  for (const char* corpus : {"sms-zh", "sms-en"}) {
    std::ifstream in(std::filesystem::path(QUELL_TRAINING_DATA) / corpus / "dev.tsv");
    std::string line;
    while (std::getline(in, line)) messages.push_back(line.substr(line.find('\t') + 1));
  }
  return messages;
}

void BM_BatchClassificationModelLoadedOnce(benchmark::State& state) {
  static const std::vector<std::string> messages = devMessages();
  if (messages.empty()) {
    state.SkipWithError("no dev files");
    return;
  }
  auto model = quell::QBModel210713::create();
  if (!model) abort();
  const quell::ModelChoice choice{&model.value(), nullptr, 0};
  std::size_t spam = 0;
  for (auto _ : state)
    for (const auto& text : messages)
      spam += quell::decideMessage(std::nullopt, text, {quell::FilterStage::kModel}, choice).action ==
              quell::FilterAction::kJunk;
  benchmark::DoNotOptimize(spam);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * messages.size()));
  state.SetLabel(std::to_string(messages.size()) + " dev messages per iteration");
}
BENCHMARK(BM_BatchClassificationModelLoadedOnce)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->DisplayAggregatesOnly();

}  // namespace
