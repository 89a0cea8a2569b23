#include "engine/filter_decision.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/features/word_tokenizer.h"
#include "engine/rule_store.h"
#include "tests/support/test_environment.h"

namespace quell {
namespace {

const char* kSpamText = "【某某贷】无抵押信用贷款，最快当天放款，额度高利息低，详询客服微信，贷款秒批";

// The verdict order, with the stage that decides and the entries it matched, for every stage.
TEST(FilterDecision, TheFirstListThatMatchesDecidesInFilterOrder) {
  testing::ScopedDataHome home;
  ASSERT_TRUE(RuleStore::writeLists({
      {RuleListKind::NumberWhitelist, {"10086"}},
      {RuleListKind::NumberBlacklist, {"95588", "10690000", "10086", "10690000"}},
      {RuleListKind::KeywordWhitelist, {"验证码"}},
      {RuleListKind::KeywordBlacklist, {"退订", "无关", "TD"}},
  }));
  struct Case {
    std::optional<std::string> sender, body;
    FilterStage stage;
    std::vector<std::string> matched;
    FilterAction action;
  } cases[] = {
      // The number whitelist beats the number blacklist and every keyword.
      {"10086", "回TD退订", FilterStage::kNumberWhitelist, {"10086"}, FilterAction::kNone},
      // A built-in service number is whitelisted even when the user blacklisted it.
      {"95588", "回TD退订", FilterStage::kNumberWhitelist, {"95588"}, FilterAction::kNone},
      // The number blacklist decides whatever the body says; every equal entry is named.
      {"10690000", "您的验证码", FilterStage::kNumberBlacklist, {"10690000", "10690000"}, FilterAction::kJunk},
      // The keyword whitelist beats the keyword blacklist.
      {"123", "验证码1234，回TD退订", FilterStage::kKeywordWhitelist, {"验证码"}, FilterAction::kNone},
      // Matches are named in list order, not text order; line breaks, dots and hyphens are normalised away.
      {"123", "回TD退\n订", FilterStage::kKeywordBlacklist, {"退订", "TD"}, FilterAction::kJunk},
      {"123", "T.D", FilterStage::kKeywordBlacklist, {"TD"}, FilterAction::kJunk},
      {"", "退订", FilterStage::kKeywordBlacklist, {"退订"}, FilterAction::kJunk},
      // The sender is compared as it is, never normalised.
      {"10690-000", "明天见", FilterStage::kModel, {}, FilterAction::kNone},
      {" 10690000", "明天见", FilterStage::kModel, {}, FilterAction::kNone},
      {"123", "", FilterStage::kModel, {}, FilterAction::kNone},
      // A missing sender or body is none, before any list is read.
      {std::nullopt, "退订", FilterStage::kNoSender, {}, FilterAction::kNone},
      {"10690000", std::nullopt, FilterStage::kNoBody, {}, FilterAction::kNone},
  };
  for (const auto& c : cases) {
    auto decision = decideMessage(c.sender, c.body);
    const std::string label = c.sender.value_or("(none)") + " / " + c.body.value_or("(none)");
    EXPECT_EQ(decision.stage, c.stage) << label;
    EXPECT_EQ(decision.matched, c.matched) << label;
    EXPECT_EQ(decision.action, c.action) << label;
    EXPECT_EQ(decision.model.has_value(), c.stage == FilterStage::kModel) << label;
  }
}

TEST(FilterDecision, TheMessageTestNeedsNoSenderAndSkipsTheNumberLists) {
  testing::ScopedDataHome home;
  ASSERT_TRUE(
      RuleStore::writeLists({{RuleListKind::NumberWhitelist, {"123"}}, {RuleListKind::KeywordBlacklist, {"退订"}}}));
  auto test = decideMessage(std::nullopt, "回复退订", kMessageTestStages);
  EXPECT_EQ(test.stage, FilterStage::kKeywordBlacklist);
  EXPECT_EQ(test.action, FilterAction::kJunk);
  EXPECT_EQ(decideMessage("123", "回复退订", kMessageTestStages).stage, FilterStage::kKeywordBlacklist);
}

TEST(FilterDecision, TopWordsAreTheMessagesKnownWordsThatMovedTheScoreMost) {
  testing::ScopedDataHome home;
  ModelChoice everyWord;
  everyWord.wordsPerSide = 1000;
  auto all = decideMessage("123", kSpamText, kFilterStages, everyWord);
  ASSERT_EQ(all.stage, FilterStage::kModel);
  ASSERT_EQ(all.model->outcome, ModelJudgement::Outcome::kJudged);
  EXPECT_EQ(all.action, FilterAction::kJunk);
  EXPECT_GT(all.model->score, all.model->threshold);

  // Every word is a token of the message, in the vocabulary, counted as often as it occurs; with every
  // word reported, the bias and the words add up to the score.
  auto tokens = lowercasedWordTokens(kSpamText);
  double sum = all.model->bias;
  for (const auto& word : all.model->words) {
    EXPECT_TRUE(FeatureVocabulary::shipped().contains(word.word)) << word.word;
    EXPECT_EQ(word.count, static_cast<double>(std::count(tokens.begin(), tokens.end(), word.word))) << word.word;
    EXPECT_NE(word.weight, 0.0);
    sum += word.weight;
  }
  EXPECT_NEAR(sum, all.model->score, 1e-9);
  EXPECT_EQ(std::count_if(all.model->words.begin(), all.model->words.end(), [](auto& w) { return w.word == "贷款"; }),
            1);

  // The default keeps the five largest on each side, ordered by size.
  auto top = decideMessage("123", kSpamText);
  const auto& words = top.model->words;
  EXPECT_LE(std::count_if(words.begin(), words.end(), [](auto& w) { return w.weight > 0; }), 5);
  EXPECT_LE(std::count_if(words.begin(), words.end(), [](auto& w) { return w.weight < 0; }), 5);
  for (std::size_t i = 1; i < words.size(); ++i)
    EXPECT_GE(std::fabs(words[i - 1].weight), std::fabs(words[i].weight)) << i;
  double largestSpamward = 0;
  for (const auto& word : all.model->words) largestSpamward = std::max(largestSpamward, word.weight);
  ASSERT_FALSE(words.empty());
  EXPECT_EQ(std::max_element(words.begin(), words.end(), [](auto& a, auto& b) { return a.weight < b.weight; })->weight,
            largestSpamward);
  // Reasons never change the verdict.
  ModelChoice verdictOnly;
  verdictOnly.wordsPerSide = 0;
  auto bare = decideMessage("123", kSpamText, kFilterStages, verdictOnly);
  EXPECT_EQ(bare.action, top.action);
  EXPECT_EQ(bare.model->score, top.model->score);
  EXPECT_TRUE(bare.model->words.empty());
}

}  // namespace
}  // namespace quell
