#include "engine/rule_matching.h"

#include <gtest/gtest.h>

#include "engine/message_normalization.h"
#include "tests/support/test_environment.h"

namespace quell {
namespace {

TEST(NormalizeMessageBody, RemovesLineBreaksDotsAndHyphensThenTrimsBlanks) {
  EXPECT_EQ(normalizeMessageBody("  Hello-World.\n "), "HelloWorld");
  EXPECT_EQ(normalizeMessageBody("a\rb"), "ab");
  EXPECT_EQ(normalizeMessageBody("a\tb"), "a\tb");
  EXPECT_EQ(normalizeMessageBody("好的。"), "好的。");
  EXPECT_EQ(normalizeMessageBody(".-\r\n..--\n"), "");
  // Trimming takes tabs and every space separator (ideographic space, no-break space), and only them.
  EXPECT_EQ(normalizeMessageBody("\t\u3000\u00a0 取件码 \u2003\t"), "取件码");
  EXPECT_EQ(normalizeMessageBody("\u2028x\u000b\u000c"), "\u2028x\u000b\u000c");
  EXPECT_EQ(normalizeMessageBody("a \u3000 b"), "a \u3000 b");
  // Removal happens before trimming, so blanks behind a removed character are trimmed too.
  EXPECT_EQ(normalizeMessageBody(" x \n"), "x");
  // Ill-formed UTF-8 is kept, not dropped or crashed on.
  EXPECT_EQ(normalizeMessageBody("\xff a\xc3"), "\xff a\xc3");
}

TEST(MatchesNumberList, WholeStringEqualityOnly) {
  std::vector<std::string> list = {"10086", " 95588", "abc"};
  EXPECT_TRUE(matchesNumberList("10086", list));
  // Canonically equivalent spellings are equal; compatibility variants (full width) are not.
  EXPECT_TRUE(matchesNumberList("caf\u00e9", {"cafe\u0301"}));
  for (const char* other : {"+8610086", "1008", "95588", "ABC", "", "\uff11\uff10\uff10\uff18\uff16"})
    EXPECT_FALSE(matchesNumberList(other, list)) << other;
}

TEST(MatchesNumberList, BuiltInNumbersAreWhitelistedWithAnEmptyStore) {
  testing::ScopedDataHome home;
  EXPECT_TRUE(matchesNumberList("95588", RuleListKind::NumberWhitelist));
  EXPECT_FALSE(matchesNumberList("95588", RuleListKind::NumberBlacklist));
  ASSERT_TRUE(RuleStore::writeList(RuleListKind::NumberBlacklist, {"95588"}));
  EXPECT_TRUE(matchesNumberList("95588", RuleListKind::NumberBlacklist));
}

TEST(MatchKeywordList, CaseSensitiveSubstringsInListOrder) {
  EXPECT_TRUE(matchKeywordList("回TD退订", {"TD"}).matched);
  EXPECT_FALSE(matchKeywordList("回TD退订", {"td"}).matched);
  EXPECT_TRUE(matchKeywordList("双11大促", {"双11"}).matched);
  EXPECT_FALSE(matchKeywordList("双11大促", {"双十一"}).matched);
  EXPECT_FALSE(matchKeywordList("anything", {""}).matched);
  EXPECT_FALSE(matchKeywordList("", {"x"}).matched);

  auto match = matchKeywordList("退订请回TD", {"TD", "贷款", "退订", "退订"});
  EXPECT_TRUE(match.matched);
  EXPECT_EQ(match.entries, (std::vector<std::string>{"TD", "退订", "退订"}));
  auto none = matchKeywordList("你好", {});
  EXPECT_FALSE(none.matched);
  EXPECT_TRUE(none.entries.empty());
}

TEST(MatchKeywordList, CanonicalEquivalenceAndWholeCharacters) {
  // Composed and decomposed spellings find each other.
  EXPECT_TRUE(matchKeywordList("Visit the caf\u00e9 now", {"cafe\u0301"}).matched);
  EXPECT_TRUE(matchKeywordList("Visit the cafe\u0301 now", {"caf\u00e9"}).matched);
  // Diacritic-sensitive: a base letter does not occur inside an accented one, however it is written.
  EXPECT_FALSE(matchKeywordList("caf\u00e9", {"cafe"}).matched);
  EXPECT_FALSE(matchKeywordList("cafe\u0301", {"cafe"}).matched);
  // A Hangul syllable does not contain the shorter syllable that starts it.
  EXPECT_FALSE(matchKeywordList("\uac01", {"\uac00"}).matched);
  // Width-sensitive.
  EXPECT_FALSE(matchKeywordList("回ＴＤ退订", {"TD"}).matched);
  // A later occurrence on character boundaries still counts after an earlier partial one.
  EXPECT_TRUE(matchKeywordList("cafe\u0301 cafe", {"cafe"}).matched);
}

TEST(MatchKeywordList, EntriesAreSearchedWithoutTheCharactersNormalisationRemoves) {
  // A link or a hyphenated word typed as a keyword finds the body that held it, and is reported as typed.
  auto match = matchKeywordList(normalizeMessageBody("点击 t.cn/Ab3 领取"), {"t.cn", "a-b", "贷款"});
  EXPECT_EQ(match.entries, (std::vector<std::string>{"t.cn"}));
  EXPECT_TRUE(matchKeywordList(normalizeMessageBody("a-b a-b"), {"a-b"}).matched);
  EXPECT_TRUE(matchKeywordList(normalizeMessageBody("第一行\r\n第二行"), {"行\n第"}).matched);
  // An entry made only of removed characters is as empty: it never matches, not even every body.
  EXPECT_FALSE(matchKeywordList(normalizeMessageBody("a.b-c"), {".", "-", "\r\n", ".-."}).matched);
  // Nothing else of the entry is normalised away: blanks and case still count.
  EXPECT_FALSE(matchKeywordList(normalizeMessageBody("T.CN"), {"t.cn"}).matched);
}

TEST(MatchKeywordList, LongRunsOfCombiningMarksAreJudgedLikeAnyText) {
  // Runs longer than any real text are cut into pieces for normalisation, the same way in the body and in
  // an entry, so the same run still finds itself and what stands around the run is still found.
  std::string run;
  for (int i = 0; i < 200; ++i) run += "\u0301\u0316";
  std::string body = "贷款a" + run + "x退订";
  auto match = matchKeywordList(body, {"退订", "a" + run + "x", "贷款", "a\u0301"});
  EXPECT_EQ(match.entries, (std::vector<std::string>{"退订", "a" + run + "x", "贷款"}));
  EXPECT_TRUE(matchesNumberList("1" + run, {"1" + run}));
  EXPECT_FALSE(matchesNumberList("1" + run, {"1"}));
  // Short runs keep full canonical equivalence: marks of different classes in either order are equal.
  EXPECT_TRUE(matchesNumberList("a\u0301\u0316", {"a\u0316\u0301"}));
}

TEST(MatchKeywordList, EntriesWithBlanksOnlyMatchInsideTheBody) {
  auto body = normalizeMessageBody(" 退订 ");
  EXPECT_FALSE(matchKeywordList(body, {" 退订"}).matched);
  EXPECT_TRUE(matchKeywordList(normalizeMessageBody("请 退订"), {" 退订"}).matched);
}

}  // namespace
}  // namespace quell
