// The filter's reasons, as a program asks for them ("explain": true) and as a person does (--explain).
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "engine/rule_store.h"
#include "tests/support/test_environment.h"

namespace quell {
namespace {

using nlohmann::json;

const std::map<std::string, std::string> kLogToStderr = {{"QUELL_LOG", "stderr"}};
const char* kSpamText = "【某某贷】无抵押信用贷款，最快当天放款，额度高利息低，详询客服微信";
const char* kHamText = "好的，我明天下午三点到公司楼下等你";

class QuellguardExplain : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(RuleStore::writeLists({
        {RuleListKind::NumberWhitelist, {"10086"}},
        {RuleListKind::NumberBlacklist, {"10690000", "106 9", "10690000"}},
        {RuleListKind::KeywordWhitelist, {"验证码"}},
        {RuleListKind::KeywordBlacklist, {"退订", "无关", "TD"}},
    }));
  }
  // The answer to one query line, parsed.
  json ask(const json& query) {
    auto result = testing::runProcess(QUELLGUARD_PATH, {}, query.dump() + "\n", kLogToStderr);
    auto lines = testing::splitLines(result.out);
    EXPECT_EQ(lines.size(), 1u) << result.out << result.err;
    return lines.empty() ? json() : json::parse(lines[0]);
  }
  json explained(const char* sender, const char* body) {
    json query = {{"id", 1}, {"explain", true}};
    if (sender) query["sender"] = sender;
    if (body) query["messageBody"] = body;
    return ask(query);
  }
  std::string explainedText(const char* sender, const char* body) {
    auto result =
        testing::runProcess(QUELLGUARD_PATH, {"--explain", "--sender", sender, "--body", body}, "", kLogToStderr);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return result.out;
  }
  testing::ScopedDataHome home_;
};

// Which stage decides is the engine's to test; the process adds the decision's members to the answer line.
TEST_F(QuellguardExplain, TheAnswerLineCarriesTheStageAndItsMatchedEntries) {
  json listed = explained("123", "回TD退\n订");
  EXPECT_EQ(listed["id"], 1);
  EXPECT_EQ(listed["action"], "junk");
  EXPECT_EQ(listed["stage"], "keyword-blacklist");
  EXPECT_EQ(listed["matched"], (json{"退订", "TD"}));
  EXPECT_FALSE(listed.contains("score")) << listed;
  json noSender = explained(nullptr, "退订");
  EXPECT_EQ(noSender["stage"], "no-sender");
  EXPECT_EQ(noSender["matched"], json::array());
  EXPECT_EQ(noSender["action"], "none");
}

TEST_F(QuellguardExplain, AModelDecisionGivesItsScoreOnTheSideOfItsActionAndItsWords) {
  for (const char* body : {kSpamText, kHamText}) {
    json answer = explained("123", body);
    EXPECT_EQ(answer["stage"], "model");
    EXPECT_EQ(answer["matched"], json::array());
    ASSERT_TRUE(answer["score"].is_number() && answer["threshold"].is_number()) << answer;
    const bool above = answer["score"].get<double>() > answer["threshold"].get<double>();
    EXPECT_EQ(answer["action"], above ? "junk" : "none") << answer;
    ASSERT_FALSE(answer["words"].empty());
    for (const auto& word : answer["words"]) {
      EXPECT_NE(std::string(body).find(word["word"].get<std::string>()), std::string::npos) << word;
      EXPECT_GE(word["count"].get<int>(), 1);
    }
  }
  EXPECT_EQ(explained("123", kSpamText)["action"], "junk");
  EXPECT_EQ(explained("123", kHamText)["action"], "none");
}

TEST_F(QuellguardExplain, AQueryWithoutExplainGetsTodaysAnswerExactly) {
  for (const json& query : {json{{"id", 7}, {"sender", "123"}, {"messageBody", "回TD退订"}},
                            json{{"id", 7}, {"sender", "123"}, {"messageBody", "回TD退订"}, {"explain", false}},
                            json{{"id", 7}, {"sender", "123"}, {"messageBody", "回TD退订"}, {"explain", nullptr}}}) {
    auto result = testing::runProcess(QUELLGUARD_PATH, {}, query.dump() + "\n", kLogToStderr);
    EXPECT_EQ(result.out, "{\"id\":7,\"action\":\"junk\"}\n");
  }
  json bad = ask({{"id", 8}, {"sender", "123"}, {"messageBody", "x"}, {"explain", "yes"}});
  EXPECT_EQ(bad["id"], 8);
  EXPECT_TRUE(bad.contains("error")) << bad;
  EXPECT_FALSE(bad.contains("action")) << bad;
}

TEST_F(QuellguardExplain, ThePersonsFormListsEveryStageTriedInOrder) {
  EXPECT_EQ(explainedText("10690000", "x"),
            "number-whitelist   no match\n"
            "number-blacklist   matched \"10690000\" \"10690000\"\n"
            "action             junk\n");
  EXPECT_EQ(explainedText("123", "回TD退订"),
            "number-whitelist   no match\n"
            "number-blacklist   no match\n"
            "keyword-whitelist  no match\n"
            "keyword-blacklist  matched \"退订\" \"TD\"\n"
            "action             junk\n");
  std::string model = explainedText("123", kHamText);
  EXPECT_NE(model.find("keyword-blacklist  no match\nmodel              score -"), std::string::npos) << model;
  EXPECT_NE(model.find("not above the threshold 0: not spam"), std::string::npos) << model;
  EXPECT_NE(model.find("\"明天\" x1"), std::string::npos) << model;
  EXPECT_TRUE(model.ends_with("action             none\n")) << model;
  // Markup and control characters in an entry are quoted, never passed through raw.
  ASSERT_TRUE(RuleStore::writeList(RuleListKind::KeywordBlacklist, {"<b>\x1b[31m"}));
  std::string hostile = explainedText("123", "<b>\x1b[31m");
  EXPECT_NE(hostile.find("matched \"<b>\\u001b[31m\""), std::string::npos) << hostile;
}

}  // namespace
}  // namespace quell
