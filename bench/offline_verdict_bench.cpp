// Speed of the offline verdict with the store read for every list test as the filter does it, for lists of
// 10, 100 and 1,000 entries each: for a message that no rule decides (so the model decides), and for one
// that only the last entry of the last list decides (the rule stage alone).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "engine/rule_store.h"
#include "extension/quellguard.h"

namespace {

std::string randomKeyword(std::mt19937& rng) {
  static const char32_t kPool[] = U"贷款优惠中奖红包积分兑换活动会员免费领取流量套餐办理";
  std::string word;
  int length = 2 + static_cast<int>(rng() % 3);
  for (int i = 0; i < length; ++i) {
    char32_t c = kPool[rng() % (std::size(kPool) - 1)];
    // Three-byte UTF-8: every character of the pool is in the BMP above U+0800.
    word += static_cast<char>(0xe0 | (c >> 12));
    word += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
    word += static_cast<char>(0x80 | (c & 0x3f));
  }
  return word + "X";  // never occurs in the benchmark's message
}

// Fills the four lists with `entries` entries each, none of which occurs in the benchmark's messages; the
// keyword blacklist's last entry is `lastKeyword` when given.
void fillLists(int entries, const std::string& lastKeyword = {}) {
  std::mt19937 rng(42);
  std::vector<std::pair<quell::RuleListKind, std::vector<std::string>>> lists;
  for (auto kind : quell::kAllRuleListKinds) {
    std::vector<std::string> list;
    for (int i = 0; i < entries; ++i) {
      bool numbers = kind == quell::RuleListKind::NumberWhitelist || kind == quell::RuleListKind::NumberBlacklist;
      list.push_back(numbers ? "1069" + std::to_string(10000000 + rng() % 90000000) : randomKeyword(rng));
    }
    if (kind == quell::RuleListKind::KeywordBlacklist && !lastKeyword.empty()) list.back() = lastKeyword;
    lists.emplace_back(kind, std::move(list));
  }
  if (!quell::RuleStore::writeLists(lists)) abort();
}

// The verdict for a bank notice, with lists of state.range(0) entries each.
void judgeBankNotice(benchmark::State& state, const std::string& lastKeyword) {
  fillLists(static_cast<int>(state.range(0)), lastKeyword);
  quell::Quellguard guard;
  quell::ILMessageFilterQueryRequest request{
      "13800138000",
      "【某某银行】尊敬的客户，您的信用卡账单已出，本期应还金额请登录手机银行查看，如有疑问请致电客服。"};
  for (auto _ : state) benchmark::DoNotOptimize(guard.offlineVerdict(request));
  state.SetLabel(std::to_string(state.range(0)) + " entries per list");
}

void BM_OfflineVerdictUndecidedByRules(benchmark::State& state) { judgeBankNotice(state, {}); }
// The rule stage alone: every list is read and scanned to its end, and the keyword blacklist's last entry
// decides, so the model is never asked.
void BM_OfflineVerdictDecidedByTheLastRule(benchmark::State& state) { judgeBankNotice(state, "手机银行"); }
BENCHMARK(BM_OfflineVerdictDecidedByTheLastRule)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->DisplayAggregatesOnly();

BENCHMARK(BM_OfflineVerdictUndecidedByRules)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ComputeStatistics("max", [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); })
    ->DisplayAggregatesOnly();

}  // namespace
