#include "extension/quellguard.h"

#include <gtest/gtest.h>

#include "engine/rule_store.h"
#include "tests/support/test_environment.h"

namespace quell {
namespace {

class QuellguardVerdict : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(RuleStore::writeList(RuleListKind::NumberBlacklist, {"10690000"})); }
  testing::ScopedDataHome home_;
};

// A context that records deferrals and lets the test answer them, as the platform would later.
class RecordingContext : public ILMessageFilterExtensionContext {
 public:
  void deferQueryRequestToNetworkWithCompletion(ILNetworkCompletion completion) override {
    completions.push_back(std::move(completion));
  }
  std::vector<ILNetworkCompletion> completions;
};

TEST_F(QuellguardVerdict, JunkIsAnsweredAtOnceAndEverythingElseIsDeferred) {
  setenv("QUELL_LOG", "stderr", 1);
  Quellguard guard;
  std::vector<ILMessageFilterAction> answers;
  auto record = [&](ILMessageFilterQueryResponse r) { answers.push_back(r.action); };

  RecordingContext junkContext;
  guard.handleQueryRequest({"10690000", "x"}, junkContext, record);
  EXPECT_EQ(answers, std::vector<ILMessageFilterAction>{ILMessageFilterAction::Junk});
  EXPECT_TRUE(junkContext.completions.empty());

  // No response: one log line with the error's description, then none, only once the network has failed.
  RecordingContext failing;
  guard.handleQueryRequest({"123", "明天见"}, failing, record);
  ASSERT_EQ(failing.completions.size(), 1u);
  EXPECT_EQ(answers.size(), 1u);
  ::testing::internal::CaptureStderr();
  failing.completions[0](std::nullopt, NSError{"TestDomain", 7, "offline"});
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Error deferring query request to network: Error Domain=TestDomain Code=7 \"offline\"\n");
  RecordingContext nothing;
  guard.handleQueryRequest({"123", "明天见"}, nothing, record);
  ::testing::internal::CaptureStderr();
  nothing.completions[0](std::nullopt, std::nullopt);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Error deferring query request to network: (null)\n");
  EXPECT_EQ(answers.size(), 3u);
  EXPECT_EQ(answers.back(), ILMessageFilterAction::None);
}

}  // namespace
}  // namespace quell
