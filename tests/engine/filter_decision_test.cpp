#include "engine/filter_decision.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/features/word_tokenizer.h"
#include "engine/rule_store.h"
#include "tests/support/test_environment.h"

namespace quell {
namespace {

const char* kSpamText = "【某某贷】无抵押信用贷款，最快当天放款，额度高利息低，详询客服微信，贷款秒批";

TEST(FilterDecision, TheMessageTestNeedsNoSenderAndSkipsTheNumberLists) {
  testing::ScopedDataHome home;
  ASSERT_TRUE(
      RuleStore::writeLists({{RuleListKind::NumberWhitelist, {"123"}}, {RuleListKind::KeywordBlacklist, {"退订"}}}));
  auto test = decideMessage(std::nullopt, "回复退订", kMessageTestStages);
  EXPECT_EQ(test.stage, FilterStage::kKeywordBlacklist);
  EXPECT_EQ(test.action, FilterAction::kJunk);
  EXPECT_EQ(decideMessage("123", "回复退订", kMessageTestStages).stage, FilterStage::kKeywordBlacklist);
  // The filter tests the sender first, and needs one.
  EXPECT_EQ(decideMessage("123", "回复退订").stage, FilterStage::kNumberWhitelist);
  EXPECT_EQ(decideMessage(std::nullopt, "回复退订").stage, FilterStage::kNoSender);
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
