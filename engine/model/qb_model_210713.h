// The typed wrappers around the shipped spam model "QBModel210713": its input (the bag of words under the
// name "text"), its output (the label under "rating"), and the model, found as the resource
// "QBModel210713.mlmodelc" in the running program's own bundle.
//
// Construction, loading and prediction report failures as NSError values. A wrapper, its input and its
// output are meant to live for one prediction.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "engine/features/token_counts.h"
#include "platform/ml_model.h"

namespace quell {

class QBModel210713Input : public MLFeatureProvider {
 public:
  explicit QBModel210713Input(TokenCounts text) : text(std::move(text)) {}

  // {"text"}.
  std::set<std::string> featureNames() const override;
  // For "text" exactly: a dictionary feature of the counts (empty, not missing, when there are none).
  std::optional<MLFeatureValue> featureValueForName(const std::string& name) const override;

  TokenCounts text;
};

class QBModel210713Output : public MLFeatureProvider {
 public:
  explicit QBModel210713Output(std::unique_ptr<MLFeatureProvider> provider) : provider_(std::move(provider)) {}

  // The predicted label; nullopt when the model's output holds no "rating".
  std::optional<std::string> rating() const;
  // The runtime's further outputs (see ml_model.h): the decision value that the label follows, and each
  // known word's part in it (empty unless the prediction asked for it).
  std::optional<double> decisionValue() const;
  MLFeatureValue::Dictionary contributions() const;

  std::set<std::string> featureNames() const override { return provider_->featureNames(); }
  std::optional<MLFeatureValue> featureValueForName(const std::string& name) const override {
    return provider_->featureValueForName(name);
  }

 private:
  std::unique_ptr<MLFeatureProvider> provider_;
};

class QBModel210713 {
 public:
  // Where the compiled model lies in the running program's bundle, or nullopt when it is missing.
  static std::optional<std::filesystem::path> modelResourceURL();

  // Locates and loads the model resource.
  static Expected<QBModel210713> create();
  explicit QBModel210713(std::shared_ptr<MLModel> model) : model_(std::move(model)) {}

  Expected<QBModel210713Output> prediction(const QBModel210713Input& input,
                                           const MLPredictionOptions& options = {}) const;

  const MLModel& model() const { return *model_; }

 private:
  std::shared_ptr<MLModel> model_;
};

}  // namespace quell
