// The on-device model runtime: feature values, feature providers, and models loaded from a compiled model
// directory ("<name>.mlmodelc", see ml_model_file.h).
//
// Failures are values: loading answers the model or an NSError, prediction answers the output provider or
// an NSError. Nothing here throws or ends the process on bad input or a bad file. A loaded MLModel is
// immutable and may be used from several threads.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <variant>

#include "platform/ml_model_file.h"
#include "platform/ns_error.h"

namespace quell {

enum class MLFeatureType { String, Double, Dictionary };

// One feature value: a string, a double, or a dictionary from string to double.
class MLFeatureValue {
 public:
  using Dictionary = std::map<std::string, double>;

  static MLFeatureValue featureValueWithString(std::string value) { return MLFeatureValue(std::move(value)); }
  static MLFeatureValue featureValueWithDouble(double value) { return MLFeatureValue(value); }
  // Fails only for keys that are not UTF-8 text.
  static Expected<MLFeatureValue> featureValueWithDictionary(Dictionary value);

  MLFeatureType type() const { return static_cast<MLFeatureType>(value_.index()); }
  // The value as the given type; an empty string, 0 or an empty dictionary when it is of another type.
  std::string stringValue() const;
  double doubleValue() const;
  const Dictionary& dictionaryValue() const;

 private:
  explicit MLFeatureValue(std::variant<std::string, double, Dictionary> value) : value_(std::move(value)) {}
  std::variant<std::string, double, Dictionary> value_;
};

// A set of named feature values.
class MLFeatureProvider {
 public:
  virtual ~MLFeatureProvider() = default;
  virtual std::set<std::string> featureNames() const = 0;
  virtual std::optional<MLFeatureValue> featureValueForName(const std::string& name) const = 0;
};

class MLDictionaryFeatureProvider : public MLFeatureProvider {
 public:
  explicit MLDictionaryFeatureProvider(std::map<std::string, MLFeatureValue> features)
      : features_(std::move(features)) {}
  std::set<std::string> featureNames() const override;
  std::optional<MLFeatureValue> featureValueForName(const std::string& name) const override;

 private:
  std::map<std::string, MLFeatureValue> features_;
};

// Options of one prediction. None of them changes the model's answer.
struct MLPredictionOptions {
  // Also output kContributionsOutputName: what each input feature added to the decision value.
  bool includesContributions = false;
};

// The runtime's own outputs beside the model's label and probabilities. The decision value is the one the
// label follows: the model predicts its first label when it is greater than 0, else its second. A
// contribution is the part of that sum owed to one input feature (its weight times its transformed
// value), under the input's own key; features the model does not know are left out.
inline constexpr const char* kDecisionValueOutputName = "decisionValue";
inline constexpr const char* kContributionsOutputName = "contributions";

class MLModel {
 public:
  // Loads the compiled model directory at url.
  static Expected<std::shared_ptr<MLModel>> modelWithContentsOfURL(const std::filesystem::path& url);

  // Predicts from input. The output provider holds the label output (a string), the probability output
  // (a dictionary from each label to its probability), kDecisionValueOutputName (a double) and, when the
  // options ask for it, kContributionsOutputName (a dictionary). Fails when the input lacks the model's input
  // feature, holds it with another type, or holds a value that is not a finite number.
  Expected<std::unique_ptr<MLFeatureProvider>> predictionFromFeatures(const MLFeatureProvider& input,
                                                                      const MLPredictionOptions& options) const;

  const MappedLinearClassifier& classifier() const { return *classifier_; }

 private:
  explicit MLModel(std::unique_ptr<MappedLinearClassifier> classifier) : classifier_(std::move(classifier)) {}
  std::unique_ptr<MappedLinearClassifier> classifier_;
};

}  // namespace quell
