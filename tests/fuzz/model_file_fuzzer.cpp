// Feeds arbitrary bytes to the compiled model loader as the model file, then asks every model that loads
// for a prediction: whatever the file says, a load or a prediction answers a value or an error, reads
// nothing outside the file and ends quickly.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "platform/bundle.h"
#include "platform/ml_model.h"

const quell::BundleIdentity quell::kMainBundleIdentity = {"Quellguard", "app.quell.fuzz"};

namespace {

std::filesystem::path modelDirectory;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string dir = (std::filesystem::temp_directory_path() / "quell-fuzz-XXXXXX").string();
  if (!mkdtemp(dir.data())) abort();
  modelDirectory = std::filesystem::path(dir) / "Fuzz.mlmodelc";
  std::filesystem::create_directories(modelDirectory);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  {
    std::ofstream file(modelDirectory / quell::kModelFileName, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  auto model = quell::MLModel::modelWithContentsOfURL(modelDirectory);
  if (!model) return 0;
  const auto& classifier = model.value()->classifier();
  quell::MLFeatureValue::Dictionary counts = {{"退订", 1}, {"free", 2}, {"agn\u00e8s", 1}, {"", 3}};
  for (std::uint32_t i = 0; i < classifier.featureCount() && i < 8; ++i)
    counts[std::string(classifier.featureName(i))] = 1;
  auto input = quell::MLFeatureValue::featureValueWithDictionary(counts);
  if (!input) return 0;  // a name that is not UTF-8 cannot be a key
  quell::MLDictionaryFeatureProvider features({{std::string(classifier.inputName()), input.value()}});
  model.value()->predictionFromFeatures(features, quell::MLPredictionOptions());
  return 0;
}
