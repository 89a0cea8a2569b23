#include "platform/ml_model_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <unordered_set>

#include "platform/unicode_text.h"

namespace quell {

static_assert(std::endian::native == std::endian::little, "the model file is little-endian");

namespace {

struct Section {
  std::uint64_t offset;
  std::uint64_t size;
};

struct StringRef {
  std::uint32_t offset;
  std::uint32_t length;
};

// Descriptor strings, in this order.
enum Descriptor {
  kInputName,
  kLabelOutputName,
  kProbabilityOutputName,
  kLabel0,
  kLabel1,
  kDescription,
  kDescriptorCount
};

struct FileHeader {
  char magic[8];
  std::uint32_t version;
  std::uint32_t headerSize;
  std::uint64_t fileSize;
  std::uint32_t featureCount;
  std::uint32_t slotCount;  // a power of two, greater than featureCount
  std::uint32_t classCount;
  std::uint32_t transform;  // FeatureTransform
  double biasValue;
  Section strings;      // UTF-8 bytes that the references below point into
  Section descriptors;  // StringRef[kDescriptorCount]
  Section names;        // StringRef[featureCount]
  Section weights;      // double[featureCount + 1]; the last is the bias weight
  Section slots;        // uint32[slotCount]: 0 empty, else feature index + 1; linear probing
};
static_assert(sizeof(FileHeader) == 128);

Failure<ModelErrorCode> modelError(ModelErrorCode code, std::string message) { return {code, std::move(message)}; }

template <typename T>
T readAt(const unsigned char* base, std::uint64_t offset) {
  T value;
  std::memcpy(&value, base + offset, sizeof value);
  return value;
}

std::uint64_t align8(std::uint64_t n) { return (n + 7) & ~std::uint64_t{7}; }

// Places feature i (i + 1 in its slot) at the first free slot from its hash, in a table of slotCount
// slots. False when a feature would land kMaxModelProbes or more slots after its first one: the caller
// then tries a larger table, since readers stop probing there.
bool fillSlots(const std::vector<std::uint64_t>& hashes, std::uint32_t slotCount, std::vector<std::uint32_t>* slots) {
  slots->assign(slotCount, 0);
  for (std::size_t i = 0; i < hashes.size(); ++i) {
    for (std::uint32_t probe = 0;; ++probe) {
      if (probe == kMaxModelProbes) return false;
      auto& slot = (*slots)[(hashes[i] + probe) & (slotCount - 1)];
      if (slot == 0) {
        slot = static_cast<std::uint32_t>(i + 1);
        break;
      }
    }
  }
  return true;
}

}  // namespace

double transformFeature(FeatureTransform transform, double value) {
  switch (transform) {
    case FeatureTransform::kLogValue: return std::log1p(value);
    case FeatureTransform::kPresence: return value > 0 ? 1.0 : 0.0;
    case FeatureTransform::kValue: break;
  }
  return value;
}

std::uint64_t featureNameHash(std::string_view nfcName) {
  std::uint64_t h = 14695981039346656037ull;
  for (unsigned char c : nfcName) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

Result<std::string, ModelErrorCode> compileLinearClassifier(const LinearClassifier& classifier) {
  const std::size_t count = classifier.featureNames.size();
  if (classifier.weights.size() != count)
    return modelError(ModelErrorCode::kInvalidClassifier, "one weight per feature is needed");
  if (classifier.transform > FeatureTransform::kPresence)
    return modelError(ModelErrorCode::kInvalidClassifier, "unknown feature transform");
  if (count >= (1u << 30)) return modelError(ModelErrorCode::kInvalidClassifier, "too many features");

  std::string strings;
  auto addString = [&strings](std::string_view s) {
    StringRef ref{static_cast<std::uint32_t>(strings.size()), static_cast<std::uint32_t>(s.size())};
    strings.append(s);
    return ref;
  };
  std::vector<StringRef> descriptors = {addString(classifier.inputName),
                                        addString(classifier.labelOutputName),
                                        addString(classifier.probabilityOutputName),
                                        addString(classifier.labels[0]),
                                        addString(classifier.labels[1]),
                                        addString(classifier.description)};
  std::vector<StringRef> names;
  std::vector<std::uint64_t> hashes;
  std::unordered_set<std::string> seen;
  for (std::size_t i = 0; i < count; ++i) {
    std::string nfc = toNfc(classifier.featureNames[i]);
    if (!seen.insert(nfc).second)
      return modelError(ModelErrorCode::kInvalidClassifier, "feature \"" + nfc + "\" appears twice");
    names.push_back(addString(nfc));
    hashes.push_back(featureNameHash(nfc));
  }
  std::uint32_t slotCount = 16;
  while (slotCount < 2 * count + 1) slotCount *= 2;
  std::vector<std::uint32_t> slots;
  while (!fillSlots(hashes, slotCount, &slots)) slotCount *= 2;
  if (strings.size() > UINT32_MAX)
    return modelError(ModelErrorCode::kInvalidClassifier, "the model's strings are too large");

  FileHeader header{};
  std::memcpy(header.magic, kModelFileMagic, sizeof header.magic);
  header.version = kModelFileVersion;
  header.headerSize = sizeof(FileHeader);
  header.featureCount = static_cast<std::uint32_t>(count);
  header.slotCount = slotCount;
  header.classCount = 2;
  header.transform = static_cast<std::uint32_t>(classifier.transform);
  header.biasValue = classifier.biasValue;
  std::uint64_t at = sizeof(FileHeader);
  auto place = [&at](Section& section, std::uint64_t size) {
    section = {at, size};
    at = align8(at + size);
  };
  place(header.strings, strings.size());
  place(header.descriptors, descriptors.size() * sizeof(StringRef));
  place(header.names, names.size() * sizeof(StringRef));
  place(header.weights, (count + 1) * sizeof(double));
  place(header.slots, slots.size() * sizeof(std::uint32_t));
  header.fileSize = at;

  std::string file(at, '\0');
  auto put = [&file](const Section& section, const void* data) {
    if (section.size) std::memcpy(file.data() + section.offset, data, section.size);
  };
  std::vector<double> weights = classifier.weights;
  weights.push_back(classifier.biasWeight);
  std::memcpy(file.data(), &header, sizeof header);
  put(header.strings, strings.data());
  put(header.descriptors, descriptors.data());
  put(header.names, names.data());
  put(header.weights, weights.data());
  put(header.slots, slots.data());
  return file;
}

Result<std::unique_ptr<MappedLinearClassifier>, ModelErrorCode> MappedLinearClassifier::open(
    const std::filesystem::path& file) {
  // Non-blocking, so that a FIFO or a device in the model's place cannot hold the open; anything but a
  // regular file is then refused before a byte is read.
  int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return modelError(ModelErrorCode::kCannotOpen, "cannot open the compiled model " + file.string());
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return modelError(ModelErrorCode::kCannotOpen, "the compiled model " + file.string() + " is not a regular file");
  }
  if (st.st_size < static_cast<off_t>(sizeof(FileHeader))) {
    ::close(fd);
    return modelError(ModelErrorCode::kTruncated, "the compiled model " + file.string() + " is truncated");
  }
  void* mapped = mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
  ::close(fd);
  if (mapped == MAP_FAILED)
    return modelError(ModelErrorCode::kCannotOpen, "cannot map the compiled model " + file.string());

  std::unique_ptr<MappedLinearClassifier> model(new MappedLinearClassifier);
  model->base_ = static_cast<const unsigned char*>(mapped);
  model->size_ = static_cast<std::size_t>(st.st_size);
  const auto header = readAt<FileHeader>(model->base_, 0);
  const std::uint64_t size = model->size_;
  auto corrupt = [&file](const std::string& what) {
    return modelError(ModelErrorCode::kCorrupt, "the compiled model " + file.string() + " is corrupt: " + what);
  };
  if (std::memcmp(header.magic, kModelFileMagic, sizeof header.magic) != 0) return corrupt("not a model file");
  if (header.version != kModelFileVersion)
    return modelError(
        ModelErrorCode::kUnsupportedVersion,
        "the compiled model " + file.string() + " has unsupported version " + std::to_string(header.version));
  if (header.headerSize != sizeof(FileHeader) || header.fileSize != size) return corrupt("wrong size");
  if (header.classCount != 2) return corrupt("not a two-class model");
  if (header.transform > static_cast<std::uint32_t>(FeatureTransform::kPresence))
    return corrupt("unknown feature transform");
  const std::uint64_t count = header.featureCount, slots = header.slotCount;
  if (slots == 0 || (slots & (slots - 1)) != 0 || slots <= count) return corrupt("bad hash table size");
  auto sectionOk = [size](const Section& s, std::uint64_t expected) {
    return s.offset % 8 == 0 && s.offset >= sizeof(FileHeader) && s.offset <= size && s.size <= size - s.offset &&
           (expected == UINT64_MAX || s.size == expected);
  };
  if (!sectionOk(header.strings, UINT64_MAX) || header.strings.size > UINT32_MAX ||
      !sectionOk(header.descriptors, kDescriptorCount * sizeof(StringRef)) ||
      !sectionOk(header.names, count * sizeof(StringRef)) || !sectionOk(header.weights, (count + 1) * sizeof(double)) ||
      !sectionOk(header.slots, slots * sizeof(std::uint32_t)))
    return corrupt("a section lies outside the file");

  model->featureCount_ = header.featureCount;
  model->slotCount_ = header.slotCount;
  model->biasValue_ = header.biasValue;
  model->transform_ = static_cast<FeatureTransform>(header.transform);
  model->stringsOffset_ = header.strings.offset;
  model->stringsSize_ = header.strings.size;
  model->namesOffset_ = header.names.offset;
  model->weightsOffset_ = header.weights.offset;
  model->slotsOffset_ = header.slots.offset;
  std::string_view descriptors[kDescriptorCount];
  for (int i = 0; i < kDescriptorCount; ++i) {
    auto ref = readAt<StringRef>(model->base_, header.descriptors.offset + i * sizeof(StringRef));
    if (std::uint64_t{ref.offset} + ref.length > header.strings.size) return corrupt("a name lies outside the file");
    descriptors[i] =
        std::string_view(reinterpret_cast<const char*>(model->base_ + header.strings.offset + ref.offset), ref.length);
  }
  model->inputName_ = descriptors[kInputName];
  model->labelOutputName_ = descriptors[kLabelOutputName];
  model->probabilityOutputName_ = descriptors[kProbabilityOutputName];
  model->labels_[0] = descriptors[kLabel0];
  model->labels_[1] = descriptors[kLabel1];
  return model;
}

MappedLinearClassifier::~MappedLinearClassifier() {
  if (base_) munmap(const_cast<unsigned char*>(base_), size_);
}

std::string_view MappedLinearClassifier::featureName(std::uint32_t i) const {
  if (i >= featureCount_) return {};
  auto ref = readAt<StringRef>(base_, namesOffset_ + std::uint64_t{i} * sizeof(StringRef));
  if (std::uint64_t{ref.offset} + ref.length > stringsSize_) return {};  // corrupt reference: no name
  return std::string_view(reinterpret_cast<const char*>(base_ + stringsOffset_ + ref.offset), ref.length);
}

double MappedLinearClassifier::weight(std::uint32_t i) const {
  return i < featureCount_ ? readAt<double>(base_, weightsOffset_ + std::uint64_t{i} * sizeof(double)) : 0.0;
}

double MappedLinearClassifier::biasWeight() const {
  return readAt<double>(base_, weightsOffset_ + std::uint64_t{featureCount_} * sizeof(double));
}

std::optional<std::uint32_t> MappedLinearClassifier::featureIndex(std::string_view name) const {
  std::string nfc = toNfc(name);
  std::uint64_t h = featureNameHash(nfc);
  // A valid table holds every name within kMaxModelProbes slots of its first one, so looking further
  // finds nothing: a damaged or hostile table with long runs of full slots costs no more than that.
  const std::uint32_t probes = std::min(slotCount_, kMaxModelProbes);
  for (std::uint32_t probe = 0; probe < probes; ++probe) {
    auto slot = readAt<std::uint32_t>(base_, slotsOffset_ + ((h + probe) & (slotCount_ - 1)) * sizeof(std::uint32_t));
    if (slot == 0) return std::nullopt;
    if (slot > featureCount_) return std::nullopt;  // corrupt entry: treat as absent
    if (featureName(slot - 1) == nfc) return slot - 1;
  }
  return std::nullopt;
}

}  // namespace quell
