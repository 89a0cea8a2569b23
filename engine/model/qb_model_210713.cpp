#include "engine/model/qb_model_210713.h"

#include "platform/bundle.h"

namespace quell {

std::set<std::string> QBModel210713Input::featureNames() const { return {"text"}; }

std::optional<MLFeatureValue> QBModel210713Input::featureValueForName(const std::string& name) const {
  if (name != "text") return std::nullopt;
  MLFeatureValue::Dictionary counts;
  for (const auto& [token, count] : text.entries()) counts.emplace(token, count);
  auto value = MLFeatureValue::featureValueWithDictionary(std::move(counts));
  if (!value) return std::nullopt;
  return value.value();
}

std::optional<std::string> QBModel210713Output::rating() const {
  auto value = provider_->featureValueForName("rating");
  if (!value || value->type() != MLFeatureType::String) return std::nullopt;
  return value->stringValue();
}

std::optional<double> QBModel210713Output::decisionValue() const {
  auto value = provider_->featureValueForName(kDecisionValueOutputName);
  if (!value || value->type() != MLFeatureType::Double) return std::nullopt;
  return value->doubleValue();
}

MLFeatureValue::Dictionary QBModel210713Output::contributions() const {
  auto value = provider_->featureValueForName(kContributionsOutputName);
  if (!value) return {};
  return value->dictionaryValue();
}

std::optional<std::filesystem::path> QBModel210713::modelResourceURL() {
  return Bundle::main().urlForResource("QBModel210713", "mlmodelc");
}

Expected<QBModel210713> QBModel210713::create() {
  auto url = modelResourceURL();
  if (!url)
    return nsErrorFromFailure(kModelErrorDomain,
                              Failure<ModelErrorCode>{ModelErrorCode::kResourceMissing,
                                                      "the model resource QBModel210713.mlmodelc is missing"});
  auto model = MLModel::modelWithContentsOfURL(*url);
  if (!model) return model.error();
  return QBModel210713(std::move(model.value()));
}

Expected<QBModel210713Output> QBModel210713::prediction(const QBModel210713Input& input,
                                                        const MLPredictionOptions& options) const {
  auto output = model_->predictionFromFeatures(input, options);
  if (!output) return output.error();
  return QBModel210713Output(std::move(output.value()));
}

}  // namespace quell
