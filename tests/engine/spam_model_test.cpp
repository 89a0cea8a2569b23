#include "engine/model/spam_model.h"

#include <gtest/gtest.h>

namespace quell {
namespace {

TEST(LabelBool, ReadsTheFourLabelWordsAfterTrimmingAndLowercasing) {
  EXPECT_EQ(labelBool("Spam"), true);
  EXPECT_EQ(labelBool(" SPAM\n"), true);
  EXPECT_EQ(labelBool("TRUE"), true);
  EXPECT_EQ(labelBool("\u3000spam\u2029"), true);  // Unicode white space, not only ASCII
  EXPECT_EQ(labelBool("Ham"), false);
  EXPECT_EQ(labelBool("false "), false);
  for (const char* other : {"junk", "1", "0", "", "  ", "spa m", "\xff"})
    EXPECT_EQ(labelBool(other), std::nullopt) << other;
}

TEST(ShippedModel, LoadsFromTheBundleAndJudgesTypicalMessages) {
  ASSERT_TRUE(QBModel210713::modelResourceURL());
  auto model = QBModel210713::create();
  ASSERT_TRUE(model) << model.error().description();
  auto output = model->prediction(QBModel210713Input(TokenCounts()));
  ASSERT_TRUE(output);
  EXPECT_TRUE(output->featureNames().count("rating"));
  EXPECT_TRUE(output->rating());  // an empty bag of words still gets a label

  const char* spam = "【某某贷】无抵押信用贷款，最快当天放款，额度高利息低，详询客服，回复TD退订";
  const char* ham = "好的，我明天下午三点到公司楼下等你";
  EXPECT_TRUE(isSpamByModel(spam));
  EXPECT_FALSE(isSpamByModel(ham));
  // Nothing survives between calls: the same body gets the same answer.
  EXPECT_EQ(isSpamByModel(spam), isSpamByModel(spam));
  EXPECT_FALSE(isSpamByModel(""));
}

}  // namespace
}  // namespace quell
