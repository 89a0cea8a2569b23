#include "platform/ml_model.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>

#include "tests/support/test_environment.h"

namespace quell {
namespace {

LinearClassifier smallClassifier(FeatureTransform transform = FeatureTransform::kValue) {
  LinearClassifier classifier;
  classifier.inputName = "text";
  classifier.labelOutputName = "rating";
  classifier.probabilityOutputName = "ratingProbability";
  classifier.labels[0] = "spam";
  classifier.labels[1] = "ham";
  classifier.featureNames = {"agn\u00e8s", "free", "退订", "明天"};
  classifier.weights = {0.5, 1.0, 2.0, -3.0};
  classifier.biasWeight = -1.5;
  classifier.biasValue = 1.0;
  classifier.transform = transform;
  return classifier;
}

class CompiledModel : public ::testing::Test {
 protected:
  std::filesystem::path write(const std::string& bytes) {
    auto dir = tmp_.path() / "Test.mlmodelc";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / kModelFileName, std::ios::binary) << bytes;
    return dir;
  }
  std::string compiled(const LinearClassifier& classifier) { return compileLinearClassifier(classifier).value(); }
  testing::TemporaryDirectory tmp_;
};

MLDictionaryFeatureProvider textInput(MLFeatureValue::Dictionary counts) {
  return MLDictionaryFeatureProvider({{"text", MLFeatureValue::featureValueWithDictionary(std::move(counts)).value()}});
}

std::string predictedLabel(const MLModel& model, MLFeatureValue::Dictionary counts) {
  auto output = model.predictionFromFeatures(textInput(std::move(counts)), MLPredictionOptions());
  EXPECT_TRUE(output) << output.error().description();
  return output ? output.value()->featureValueForName("rating")->stringValue() : "";
}

TEST_F(CompiledModel, PredictsFromTheWeightsOfThePresentFeatures) {
  auto model = MLModel::modelWithContentsOfURL(write(compiled(smallClassifier())));
  ASSERT_TRUE(model) << model.error().description();
  EXPECT_EQ(predictedLabel(*model.value(), {}), "ham");                                // bias alone: -1.5
  EXPECT_EQ(predictedLabel(*model.value(), {{"退订", 1}}), "spam");                    // 0.5
  EXPECT_EQ(predictedLabel(*model.value(), {{"退订", 1}, {"明天", 1}}), "ham");        // -2.5
  EXPECT_EQ(predictedLabel(*model.value(), {{"free", 2}, {"unknown", 100}}), "spam");  // 0.5
  // A decomposed key finds the composed feature.
  EXPECT_EQ(predictedLabel(*model.value(), {{"agne\u0300s", 4}}), "spam");  // 0.5

  auto output = model.value()->predictionFromFeatures(textInput({{"退订", 1}}), MLPredictionOptions());
  EXPECT_EQ(output.value()->featureNames(), (std::set<std::string>{"decisionValue", "rating", "ratingProbability"}));
  auto probabilities = output.value()->featureValueForName("ratingProbability")->dictionaryValue();
  EXPECT_NEAR(probabilities["spam"], 1 / (1 + std::exp(-0.5)), 1e-12);
  EXPECT_NEAR(probabilities["spam"] + probabilities["ham"], 1.0, 1e-12);
  EXPECT_DOUBLE_EQ(output.value()->featureValueForName("decisionValue")->doubleValue(), 0.5);
}

TEST_F(CompiledModel, ContributionsAreEachKnownInputsPartOfTheDecisionValue) {
  auto model = MLModel::modelWithContentsOfURL(write(compiled(smallClassifier()))).value();
  MLPredictionOptions options;
  options.includesContributions = true;
  // Keys stay as the input spelled them; unknown words contribute nothing and are left out.
  auto output = model->predictionFromFeatures(textInput({{"退订", 1}, {"agne\u0300s", 2}, {"unknown", 3}}), options);
  ASSERT_TRUE(output);
  auto contributions = output.value()->featureValueForName("contributions")->dictionaryValue();
  ASSERT_EQ(contributions.size(), 2u);
  EXPECT_TRUE(contributions.count("agne\u0300s"));
  double sum = -1.5;  // the bias term
  for (const auto& [word, part] : contributions) sum += part;
  EXPECT_DOUBLE_EQ(sum, output.value()->featureValueForName("decisionValue")->doubleValue());
}

TEST_F(CompiledModel, AppliesItsFeatureTransform) {
  auto presence = MLModel::modelWithContentsOfURL(write(compiled(smallClassifier(FeatureTransform::kPresence))));
  // Counted as they are, 3 x "free" would outweigh the bias; as presence it does not.
  EXPECT_EQ(predictedLabel(*presence.value(), {{"free", 3}}), "ham");
  EXPECT_EQ(predictedLabel(*presence.value(), {{"free", 3}, {"agn\u00e8s", 9}}), "ham");
  EXPECT_EQ(predictedLabel(*presence.value(), {{"退订", 5}}), "spam");
}

TEST_F(CompiledModel, BadInputsArePredictionErrors) {
  auto model = MLModel::modelWithContentsOfURL(write(compiled(smallClassifier()))).value();
  MLPredictionOptions options;
  EXPECT_FALSE(model->predictionFromFeatures(MLDictionaryFeatureProvider({}), options));
  EXPECT_FALSE(model->predictionFromFeatures(
      MLDictionaryFeatureProvider({{"text", MLFeatureValue::featureValueWithString("free")}}), options));
  EXPECT_FALSE(model->predictionFromFeatures(textInput({{"free", std::nan("")}}), options));
  EXPECT_FALSE(model->predictionFromFeatures(textInput({{"free", INFINITY}}), options));
  EXPECT_FALSE(MLFeatureValue::featureValueWithDictionary({{"\xff", 1.0}}));
}

// A file the loader would refuse is never written.
TEST_F(CompiledModel, CompilingRefusesWhatCannotLoad) {
  auto classifier = smallClassifier();
  classifier.featureNames[0] = "agne\u0300s";
  classifier.featureNames[1] = "agn\u00e8s";
  EXPECT_FALSE(compileLinearClassifier(classifier));
  classifier = smallClassifier();
  classifier.weights.pop_back();
  EXPECT_FALSE(compileLinearClassifier(classifier));
  classifier = smallClassifier();
  classifier.transform = static_cast<FeatureTransform>(3);
  EXPECT_FALSE(compileLinearClassifier(classifier));
}

TEST_F(CompiledModel, MissingTruncatedOrCorruptFilesAreLoadErrors) {
  auto code = [](const Expected<std::shared_ptr<MLModel>>& model) { return model ? -1 : model.error().code; };
  auto missing = MLModel::modelWithContentsOfURL(tmp_.path() / "Nothing.mlmodelc");
  EXPECT_EQ(code(missing), static_cast<int>(ModelErrorCode::kCannotOpen));
  std::string bytes = compiled(smallClassifier());
  for (std::size_t n :
       {std::size_t{0}, std::size_t{7}, std::size_t{127}, std::size_t{128}, bytes.size() / 2, bytes.size() - 1}) {
    auto model = MLModel::modelWithContentsOfURL(write(bytes.substr(0, n)));
    EXPECT_EQ(code(model), static_cast<int>(n < 128 ? ModelErrorCode::kTruncated : ModelErrorCode::kCorrupt))
        << "truncated to " << n;
  }
  EXPECT_EQ(code(MLModel::modelWithContentsOfURL(write(bytes + "x"))), static_cast<int>(ModelErrorCode::kCorrupt));
  std::string version = bytes;
  version[8] = 9;
  auto future = MLModel::modelWithContentsOfURL(write(version));
  EXPECT_EQ(code(future), static_cast<int>(ModelErrorCode::kUnsupportedVersion));
  ASSERT_FALSE(future);
  EXPECT_NE(future.error().localizedDescription.find("version"), std::string::npos);
}

TEST_F(CompiledModel, AHashTableWithNoEmptySlotsCostsOnlyAFewProbesPerLookup) {
  // The small model with its table replaced by four million slots that all point at feature 0, as the
  // documented layout allows a hostile file to say.
  std::string bytes = compiled(smallClassifier());
  constexpr std::uint32_t kSlots = 1u << 22;
  const std::uint64_t slotsOffset = (bytes.size() + 7) & ~std::uint64_t{7}, slotsSize = std::uint64_t{kSlots} * 4;
  bytes.resize(slotsOffset);
  for (std::uint32_t i = 0; i < kSlots; ++i) bytes.append("\x01\x00\x00\x00", 4);
  const std::uint64_t fileSize = bytes.size();
  std::memcpy(bytes.data() + 16, &fileSize, 8);
  std::memcpy(bytes.data() + 28, &kSlots, 4);
  std::memcpy(bytes.data() + 112, &slotsOffset, 8);
  std::memcpy(bytes.data() + 120, &slotsSize, 8);
  auto model = MLModel::modelWithContentsOfURL(write(bytes));
  ASSERT_TRUE(model) << model.error().description();

  MLFeatureValue::Dictionary words;
  for (int i = 0; i < 500; ++i) words["word" + std::to_string(i)] = 1;
  words["agn\u00e8s"] = 1;  // feature 0 itself, in its first slot
  auto start = std::chrono::steady_clock::now();
  auto output = model.value()->predictionFromFeatures(textInput(words), MLPredictionOptions());
  // Generous: probing every slot for each word took minutes.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  ASSERT_TRUE(output);
  EXPECT_EQ(output.value()->featureValueForName("rating")->stringValue(), "ham");  // 0.5 - 1.5
}

}  // namespace
}  // namespace quell
