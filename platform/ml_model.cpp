#include "platform/ml_model.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/unicode_text.h"

namespace quell {

namespace {

NSError modelNSError(ModelErrorCode code, std::string message) {
  return nsErrorFromFailure(kModelErrorDomain, Failure<ModelErrorCode>{code, std::move(message)});
}

}  // namespace

Expected<MLFeatureValue> MLFeatureValue::featureValueWithDictionary(Dictionary value) {
  for (const auto& [key, number] : value)
    if (!isWellFormedUtf8(key)) return modelNSError(ModelErrorCode::kKeyNotText, "a dictionary key is not UTF-8 text");
  return MLFeatureValue(std::move(value));
}

std::string MLFeatureValue::stringValue() const {
  auto* s = std::get_if<std::string>(&value_);
  return s ? *s : std::string();
}

double MLFeatureValue::doubleValue() const {
  auto* d = std::get_if<double>(&value_);
  return d ? *d : 0.0;
}

const MLFeatureValue::Dictionary& MLFeatureValue::dictionaryValue() const {
  static const Dictionary empty;
  auto* d = std::get_if<Dictionary>(&value_);
  return d ? *d : empty;
}

std::set<std::string> MLDictionaryFeatureProvider::featureNames() const {
  std::set<std::string> names;
  for (const auto& [name, value] : features_) names.insert(name);
  return names;
}

std::optional<MLFeatureValue> MLDictionaryFeatureProvider::featureValueForName(const std::string& name) const {
  auto it = features_.find(name);
  if (it == features_.end()) return std::nullopt;
  return it->second;
}

Expected<std::shared_ptr<MLModel>> MLModel::modelWithContentsOfURL(const std::filesystem::path& url) {
  auto classifier = MappedLinearClassifier::open(url / kModelFileName);
  if (!classifier) return nsErrorFromFailure(kModelErrorDomain, classifier.failure());
  return std::shared_ptr<MLModel>(new MLModel(std::move(classifier.value())));
}

Expected<std::unique_ptr<MLFeatureProvider>> MLModel::predictionFromFeatures(const MLFeatureProvider& input,
                                                                             const MLPredictionOptions& options) const {
  const auto& model = *classifier_;
  std::string inputName(model.inputName());
  auto value = input.featureValueForName(inputName);
  if (!value) return modelNSError(ModelErrorCode::kInputMissing, "the input feature \"" + inputName + "\" is missing");
  if (value->type() != MLFeatureType::Dictionary)
    return modelNSError(ModelErrorCode::kInputNotDictionary,
                        "the input feature \"" + inputName + "\" is not a dictionary");

  // Summed in feature-index order, the order in which the trainer's own predictions sum, so the two agree to
  // the last bit.
  struct Present {
    std::uint32_t index;
    double count;
    const std::string* key;
    bool operator<(const Present& other) const { return index < other.index; }
  };
  std::vector<Present> present;
  for (const auto& [key, count] : value->dictionaryValue()) {
    if (!std::isfinite(count))
      return modelNSError(ModelErrorCode::kInputNotFinite,
                          "the input feature \"" + inputName + "\" holds a value that is not finite");
    if (auto index = model.featureIndex(key)) present.push_back({*index, count, &key});
  }
  std::sort(present.begin(), present.end());
  double decision = 0;
  MLFeatureValue::Dictionary contributions;
  for (const auto& feature : present) {
    const double contribution = model.weight(feature.index) * transformFeature(model.transform(), feature.count);
    decision += contribution;
    if (options.includesContributions) contributions.emplace(*feature.key, contribution);
  }
  if (model.biasValue() > 0) decision += model.biasWeight() * model.biasValue();
  if (!std::isfinite(decision))
    return modelNSError(ModelErrorCode::kWeightsNotFinite, "the model's weights are not finite");

  const int predicted = decision > 0 ? 0 : 1;
  const double p0 = 1.0 / (1.0 + std::exp(-decision));
  std::map<std::string, MLFeatureValue> outputs;
  outputs.emplace(std::string(model.labelOutputName()),
                  MLFeatureValue::featureValueWithString(std::string(model.label(predicted))));
  auto probabilities = MLFeatureValue::featureValueWithDictionary(
      {{std::string(model.label(0)), p0}, {std::string(model.label(1)), 1.0 - p0}});
  if (probabilities) outputs.emplace(std::string(model.probabilityOutputName()), probabilities.value());
  outputs.emplace(kDecisionValueOutputName, MLFeatureValue::featureValueWithDouble(decision));
  if (options.includesContributions) {
    // Keys are input keys, already known to be UTF-8 text.
    if (auto dictionary = MLFeatureValue::featureValueWithDictionary(std::move(contributions)))
      outputs.emplace(kContributionsOutputName, std::move(dictionary.value()));
  }
  return std::unique_ptr<MLFeatureProvider>(new MLDictionaryFeatureProvider(std::move(outputs)));
}

}  // namespace quell
