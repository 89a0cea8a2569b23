#include <gtest/gtest.h>

#include "engine/features/feature_vocabulary.h"
#include "engine/features/token_counts.h"
#include "engine/features/word_tokenizer.h"
#include "platform/unicode_text.h"

namespace quell {
namespace {

const FeatureVocabulary& testVocabulary() {
  static const FeatureVocabulary vocabulary({"free", "agn\u00e8s", "12306", "im", "退订", "td", "🔥", "贷款", "free"});
  return vocabulary;
}

TEST(WordTokens, KeepsWordsNumbersAndEmojiButNoPunctuationOrSpaces) {
  EXPECT_EQ(lowercasedWordTokens("回复TD退订！ Free，🔥 12306..."),
            (std::vector<std::string>{"回复", "td", "退订", "free", "🔥", "12306"}));
  EXPECT_TRUE(lowercasedWordTokens("，。！？ …… \t --").empty());
  EXPECT_TRUE(lowercasedWordTokens("").empty());
  // Lowercasing is the locale-independent mapping: the dotted capital I keeps its dot as a combining mark.
  EXPECT_EQ(lowercasedWordTokens("IM İ"), (std::vector<std::string>{"im", "i̇"}));
  // The apostrophe stays inside the word, so "I'm" is not "im".
  EXPECT_EQ(lowercasedWordTokens("I'm"), std::vector<std::string>{"i'm"});
}

TEST(BuildTokenCounts, CountsLowercasedWholeTokensOfTheVocabulary) {
  auto counts = buildTokenCounts("Free FREE free", testVocabulary());
  ASSERT_EQ(counts.size(), 1u);
  EXPECT_EQ(counts.entries()[0], (std::pair<std::string, double>{"free", 3.0}));

  for (const char* nothingKnown : {"freedom impossible 10086 95588", "I'm", "", "，。！"})
    EXPECT_TRUE(buildTokenCounts(nothingKnown, testVocabulary()).empty()) << nothingKnown;
  EXPECT_EQ(buildTokenCounts("12306", testVocabulary()).count("12306"), 1.0);
  auto chinese = buildTokenCounts("无抵押贷款，回TD退订，贷款🔥🔥", testVocabulary());
  EXPECT_EQ(chinese.count("贷款"), 2.0);
  EXPECT_EQ(chinese.count("td"), 1.0);
  EXPECT_EQ(chinese.count("退订"), 1.0);
  EXPECT_EQ(chinese.count("🔥"), 2.0);
}

TEST(BuildTokenCounts, KeysAreCanonicallyEquivalentAndKeepTheFirstSpelling) {
  std::string decomposed = "agne\u0300s", composed = "agn\u00e8s";
  auto counts = buildTokenCounts(decomposed + " " + composed + " AGNE\u0300S", testVocabulary());
  ASSERT_EQ(counts.size(), 1u);
  EXPECT_EQ(counts.entries()[0].first, decomposed);
  EXPECT_EQ(counts.entries()[0].second, 3.0);
  EXPECT_EQ(counts.count(composed), 3.0);
}

TEST(ShippedVocabulary, HasTheShapeTheModelExpects) {
  const auto& entries = FeatureVocabulary::shipped().entries();
  ASSERT_FALSE(entries.empty());
  EXPECT_TRUE(std::is_sorted(entries.begin(), entries.end()));
  for (const auto& entry : entries) {
    ASSERT_FALSE(entry.empty());
    EXPECT_EQ(toNfc(entry), entry) << entry;
    // Every entry is itself one lowercased token, or it could never be counted.
    EXPECT_EQ(lowercasedWordTokens(entry), std::vector<std::string>{entry}) << entry;
    // Neither bare numbers nor the corpus's digit masks are features.
    EXPECT_FALSE(entry.find_first_not_of("0123456789") == std::string::npos) << entry;
    EXPECT_FALSE(entry.find_first_not_of('x') == std::string::npos) << entry;
  }
  EXPECT_TRUE(FeatureVocabulary::shipped().contains("退订"));
}

}  // namespace
}  // namespace quell
