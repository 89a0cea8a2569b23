#include "tools/quelltrain/training_pipeline.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <unordered_set>

#include "engine/features/word_tokenizer.h"
#include "engine/message_normalization.h"
#include "tools/quelltrain/evaluation.h"

namespace quell {

namespace {

// Shows progress on standard error for runs long enough to need it: a counter rewritten in place on a
// terminal, one line at the end in a log.
class Progress {
 public:
  Progress(const char* what, std::size_t total) : what_(what), total_(total), terminal_(isatty(STDERR_FILENO)) {}
  void step(std::size_t done) {
    if ((terminal_ && done % 5000 == 0) || done == total_)
      std::fprintf(stderr, terminal_ ? "\r%s %zu/%zu" : "%s %zu/%zu", what_, done, total_);
    if (done == total_) std::fprintf(stderr, "\n");
  }

 private:
  const char* what_;
  std::size_t total_;
  bool terminal_;
};

// Replaces path whole: written beside it, then renamed over it.
bool writeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::error_code ec;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
  auto temporary = path;
  temporary += ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) return false;
  }
  std::filesystem::rename(temporary, path, ec);
  return !ec;
}

}  // namespace

std::optional<TrainingSet> readTrainingSet(const TrainingRun& run, std::mt19937_64& rng, std::string* error) {
  TrainingSet set;
  for (std::size_t f = 0; f < run.files.size(); ++f) {
    const TrainingFile& file = run.files[f];
    auto messages = readLabeledFile(file.path, error);
    if (!messages) return std::nullopt;
    for (auto& message : *messages) {
      message.text = normalizeMessageBody(file.maskedDigits ? unmaskDigits(message.text, rng) : message.text);
      set.messages.push_back(std::move(message));
      set.fileOf.push_back(static_cast<int>(f));
      set.repeats.push_back(file.repeat);
    }
  }
  return set;
}

std::size_t TrainingSet::examples() const {
  std::size_t total = 0;
  for (int repeat : repeats) total += static_cast<std::size_t>(repeat);
  return total;
}

bool addChineseHamPairs(const TrainingRun& run, TrainingSet* set, std::mt19937_64& rng) {
  if (run.chineseHamPairs == 0) return true;
  int chineseFile = -1;
  std::vector<std::size_t> ham;
  for (std::size_t i = 0; i < set->messages.size(); ++i) {
    if (run.files[set->fileOf[i]].language != "zh" || set->messages[i].spam) continue;
    ham.push_back(i);
    if (chineseFile < 0) chineseFile = set->fileOf[i];
  }
  if (ham.size() < 2) return false;
  for (std::size_t p = 0; p < run.chineseHamPairs; ++p) {
    const auto& a = set->messages[ham[rng() % ham.size()]];
    const auto& b = set->messages[ham[rng() % ham.size()]];
    set->messages.push_back({false, normalizeMessageBody(a.text + "，" + b.text + "。"), ""});
    set->fileOf.push_back(chineseFile);
    set->repeats.push_back(1);
  }
  return true;
}

std::vector<std::string> chooseVocabulary(const TrainingRun& run, const TrainingSet& set) {
  std::vector<TokenizedMessage> tokenized;
  // A message named by two files (a part of a file given again to weigh it up) is still one message.
  std::unordered_set<std::string> seen;
  Progress tokenising("tokenising", set.messages.size());
  for (std::size_t i = 0; i < set.messages.size(); ++i) {
    const auto& message = set.messages[i];
    if (seen.insert((message.spam ? "s" : "h") + message.text).second)
      tokenized.push_back({message.spam, set.fileOf[i], lowercasedWordTokens(message.text)});
    tokenising.step(i + 1);
  }
  return selectVocabulary(tokenized, static_cast<int>(run.files.size()), run.vocabularySize, run.minMessages,
                          run.ranking);
}

std::unique_ptr<LinearSpamModel> trainModel(const TrainingRun& run, const TrainingSet& set,
                                            const std::vector<std::string>& vocabulary) {
  const FeatureVocabulary features(vocabulary);
  std::vector<TrainingExample> examples;
  Progress counting("counting", set.messages.size());
  for (std::size_t i = 0; i < set.messages.size(); ++i) {
    examples.push_back({buildTokenCounts(set.messages[i].text, features), set.messages[i].spam});
    for (int r = 1; r < set.repeats[i]; ++r) examples.push_back(examples.back());
    counting.step(i + 1);
  }
  std::fprintf(stderr, "training on %zu messages, %zu features\n", examples.size(), vocabulary.size());
  return LinearSpamModel::train(examples, vocabulary, run.options);
}

bool writeTrainedFiles(const TrainingRun& run, const std::vector<std::string>& vocabulary, const LinearSpamModel& model,
                       std::size_t examples, std::string* error) {
  const TrainingOptions& o = run.options;
  char description[256];
  std::snprintf(
      description, sizeof description,
      "liblinear solver %d, C %g, spam weight %g, bias %g, ham margin %g, seed %u, %zu messages, %zu features",
      o.solver, o.c, o.spamWeight, o.bias, o.hamMargin, o.seed, examples, vocabulary.size());
  auto compiled = compileLinearClassifier(model.toClassifier(description));
  if (!compiled) {
    *error = compiled.message();
    return false;
  }
  std::string vocabularyText;
  for (const auto& entry : vocabulary) vocabularyText += entry + "\n";
  if (!writeFile(run.vocabularyOut, vocabularyText)) {
    *error = "cannot write " + run.vocabularyOut.string();
    return false;
  }
  if (!writeFile(run.modelOut / kModelFileName, compiled.value())) {
    *error = "cannot write " + run.modelOut.string();
    return false;
  }
  std::fprintf(stderr, "wrote %s and %s\n", run.vocabularyOut.c_str(), run.modelOut.c_str());
  return true;
}

bool judgeDevFiles(const TrainingRun& run, const std::vector<std::string>& vocabulary, std::string* error) {
  if (run.devFiles.empty()) return true;
  auto loaded = MLModel::modelWithContentsOfURL(run.modelOut);
  if (!loaded) {
    *error = loaded.error().description();
    return false;
  }
  const QBModel210713 model(loaded.value());
  const FeatureVocabulary features(vocabulary);
  for (const auto& path : run.devFiles) {
    auto dev = readLabeledFile(path, error);
    if (!dev) return false;
    EvaluationOptions options;
    options.model = &model;
    options.vocabulary = &features;
    options.labeledErrors = run.showErrors ? stderr : nullptr;
    std::printf("== %s\n%s", path.c_str(), evaluateMessages(*dev, options).text().c_str());
  }
  return true;
}

}  // namespace quell
