// Cost of one query line as the filter process handles it (parse, then the whole offline verdict with the
// default lists, model included) for long hostile and ordinary bodies: 1 KiB, 64 KiB and 1 MiB lines made of
// a letter followed by runs of combining marks of alternating classes, which canonical ordering must sort,
// and of ordinary Chinese text. The cost must grow linearly with the line.
#include <benchmark/benchmark.h>

#include <nlohmann/json.hpp>

#include "engine/rule_store.h"
#include "extension/quellguard.h"
#include "extension/query_stream.h"

namespace {

// A query line of about `bytes` bytes (and never over the line limit) whose body repeats `unit`.
std::string queryLine(std::size_t bytes, const std::string& head, const std::string& unit) {
  std::string body = head;
  while (body.size() + unit.size() + 100 < std::min(bytes, quell::kMaxQueryLineBytes)) body += unit;
  return nlohmann::json{{"id", 1}, {"sender", "13800138000"}, {"messageBody", body}}.dump();
}

void judgeLines(benchmark::State& state, const std::string& line) {
  std::vector<std::pair<quell::RuleListKind, std::vector<std::string>>> lists;
  for (auto kind : quell::kAllRuleListKinds) lists.emplace_back(kind, quell::DefaultRuleLists(kind));
  if (!quell::RuleStore::writeLists(lists)) abort();
  quell::Quellguard guard;
  for (auto _ : state) {
    auto parsed = quell::parseQueryLine(line);
    auto* query = std::get_if<quell::QueryLine>(&parsed);
    if (!query) abort();
    benchmark::DoNotOptimize(quell::formatAnswerLine(query->id, guard.offlineVerdict(query->request)));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * line.size()));
  state.SetLabel(std::to_string(line.size()) + " bytes");
}

// 1 KiB, 64 KiB and 1 MiB lines, in milliseconds.
void lineLengths(benchmark::internal::Benchmark* b) {
  b->Arg(1 << 10)->Arg(64 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond)->Repetitions(3)->DisplayAggregatesOnly();
}

void BM_QueryLineOfCombiningMarkRuns(benchmark::State& state) {
  judgeLines(state, queryLine(static_cast<std::size_t>(state.range(0)), "a", "\u0301\u0316"));
}
BENCHMARK(BM_QueryLineOfCombiningMarkRuns)->Apply(lineLengths);

void BM_QueryLineOfChineseText(benchmark::State& state) {
  judgeLines(state, queryLine(static_cast<std::size_t>(state.range(0)), "",
                              "【某某商城】会员日特惠：全场满199减100，新品首发低至五折，积分翻倍，免费包邮。"));
}
BENCHMARK(BM_QueryLineOfChineseText)->Apply(lineLengths);

}  // namespace
