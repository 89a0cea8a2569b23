#include "engine/model/spam_model.h"

#include <gtest/gtest.h>

namespace quell {
namespace {

TEST(LabelBool, ReadsTheFourLabelWordsAfterTrimmingAndLowercasing) {
  for (const char* spam : {"Spam", " SPAM\n", "TRUE", "\u3000spam\u2029"}) EXPECT_EQ(labelBool(spam), true) << spam;
  for (const char* ham : {"Ham", "false "}) EXPECT_EQ(labelBool(ham), false) << ham;
  for (const char* other : {"junk", "1", "0", "", "  ", "spa m", "\xff"})
    EXPECT_EQ(labelBool(other), std::nullopt) << other;
}

TEST(ShippedModel, LoadsFromTheBundleAndJudgesTypicalMessages) {
  ASSERT_TRUE(QBModel210713::modelResourceURL());
  auto model = QBModel210713::create();
  ASSERT_TRUE(model) << model.error().description();
  auto output = model->prediction(QBModel210713Input(TokenCounts()));
  ASSERT_TRUE(output);
  EXPECT_TRUE(output->rating());  // an empty bag of words still gets a label

  const char* spam = "【某某贷】无抵押信用贷款，最快当天放款，额度高利息低，详询客服，回复TD退订";
  const char* ham = "好的，我明天下午三点到公司楼下等你";
  EXPECT_TRUE(isSpamByModel(spam));
  EXPECT_FALSE(isSpamByModel(ham));
  EXPECT_TRUE(isSpamByModel(spam));  // again: nothing of one call survives into the next
  EXPECT_FALSE(isSpamByModel(""));
}

}  // namespace
}  // namespace quell
