// The compiled model file: a linear classifier over a dictionary input, in a binary form that loads by
// mapping the file and checking one header, with no parsing.
//
// A compiled model is a directory "<name>.mlmodelc" holding "model.qbml". The layout (version 1, all
// integers and reals little-endian, every section 8-byte aligned) is documented in docs/model-format.md.
// Readers check every size and offset against the file before use, so a truncated or corrupt file is a
// load error, never a crash.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace quell {

inline constexpr char kModelFileMagic[8] = {'Q', 'B', 'M', 'L', 'M', 'O', 'D', 'L'};
inline constexpr std::uint32_t kModelFileVersion = 1;
inline constexpr const char* kModelFileName = "model.qbml";
inline constexpr const char* kModelErrorDomain = "com.apple.CoreML";

// What goes wrong in the model loader and the model runtime: the codes of its failures, and of the
// NSErrors of domain kModelErrorDomain that the runtime's interface reports them as.
enum class ModelErrorCode : int {
  kOk = -1,                 // success (the codes of failures keep the numbers they always had)
  kResourceMissing = 0,     // the bundle holds no compiled model of that name
  kInvalidClassifier = 1,   // a classifier that cannot be compiled (sizes disagree, names repeat, ...)
  kCannotOpen = 2,          // the file cannot be opened or mapped, or is not a regular file
  kTruncated = 3,           // shorter than its header
  kCorrupt = 4,             // a header or section that does not fit the file
  kUnsupportedVersion = 5,  // a format version this reader does not know
  kKeyNotText = 10,         // a dictionary key that is not UTF-8 text
  kInputMissing = 11,       // the input lacks the model's input feature
  kInputNotDictionary = 12,
  kInputNotFinite = 13,
  kWeightsNotFinite = 14,
};
// Every feature name lies fewer than this many slots after its first slot in the file's hash table; the
// writer grows the table until it does, and readers probe no further.
inline constexpr std::uint32_t kMaxModelProbes = 64;

// How an input value v enters the decision value.
enum class FeatureTransform : std::uint32_t {
  kValue = 0,     // v
  kLogValue = 1,  // log(1 + v), for counts: repeats of a word add less and less
  kPresence = 2,  // 1 when v > 0, else 0
};

// The transformed value of one input value.
double transformFeature(FeatureTransform transform, double value);

// What a compiled linear classifier holds. The decision value for input x is
//   sum over features i present in x, in index order, of weights[i] * transform(x[i]),
//   plus biasWeight * biasValue;
// it predicts labels[0] when that is greater than 0, else labels[1].
struct LinearClassifier {
  FeatureTransform transform = FeatureTransform::kValue;
  std::string inputName;              // the dictionary input, e.g. "text"
  std::string labelOutputName;        // the string output holding the predicted label, e.g. "rating"
  std::string probabilityOutputName;  // a dictionary output: label -> probability (logistic of the decision)
  std::string labels[2];
  std::vector<std::string> featureNames;  // unique up to canonical equivalence
  std::vector<double> weights;            // one per feature
  double biasWeight = 0;
  double biasValue = 0;     // 0: no bias term
  std::string description;  // free text: how the model was made
};

// Serialises classifier into the file format. Fails when feature names repeat (up to canonical equivalence) or
// the sizes disagree.
Result<std::string, ModelErrorCode> compileLinearClassifier(const LinearClassifier& classifier);

// A compiled model file, mapped read-only.
class MappedLinearClassifier {
 public:
  static Result<std::unique_ptr<MappedLinearClassifier>, ModelErrorCode> open(const std::filesystem::path& file);
  ~MappedLinearClassifier();
  MappedLinearClassifier(const MappedLinearClassifier&) = delete;
  MappedLinearClassifier& operator=(const MappedLinearClassifier&) = delete;

  std::string_view inputName() const { return inputName_; }
  std::string_view labelOutputName() const { return labelOutputName_; }
  std::string_view probabilityOutputName() const { return probabilityOutputName_; }
  std::string_view label(int i) const { return labels_[i]; }
  std::uint32_t featureCount() const { return featureCount_; }

  // The index of a feature by name (canonically equivalent names are the same feature), or nullopt.
  std::optional<std::uint32_t> featureIndex(std::string_view name) const;
  // The name of feature i (i < featureCount()); empty if the file's reference is out of bounds.
  std::string_view featureName(std::uint32_t i) const;
  double weight(std::uint32_t i) const;
  double biasWeight() const;
  double biasValue() const { return biasValue_; }
  FeatureTransform transform() const { return transform_; }

 private:
  MappedLinearClassifier() = default;
  std::string_view stringAt(std::uint64_t refOffset) const;

  const unsigned char* base_ = nullptr;
  std::size_t size_ = 0;
  std::uint32_t featureCount_ = 0;
  std::uint32_t slotCount_ = 0;
  double biasValue_ = 0;
  FeatureTransform transform_ = FeatureTransform::kValue;
  std::uint64_t stringsOffset_ = 0, stringsSize_ = 0;
  std::uint64_t namesOffset_ = 0, weightsOffset_ = 0, slotsOffset_ = 0;
  std::string_view inputName_, labelOutputName_, probabilityOutputName_, labels_[2];
};

// The hash that places feature names in the file's table: 64-bit FNV-1a over the UTF-8 bytes of the name
// in normalisation form C.
std::uint64_t featureNameHash(std::string_view nfcName);

}  // namespace quell
