// quelltrain: trains the spam model and its vocabulary from labeled messages, and evaluates a compiled model
// through the code the filter runs.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <type_traits>
#include <unordered_set>
#include <vector>

#include <unistd.h>

#include "engine/features/token_counts.h"
#include "engine/features/word_tokenizer.h"
#include "engine/message_normalization.h"
#include "engine/model/spam_model.h"
#include "platform/bundle.h"
#include "platform/unicode_text.h"
#include "tools/quelltrain/labeled_corpus.h"
#include "tools/quelltrain/linear_training.h"
#include "tools/quelltrain/spam_metrics.h"
#include "tools/quelltrain/vocabulary_selection.h"

const quell::BundleIdentity quell::kMainBundleIdentity = {"Quellguard", "app.quell.quelltrain"};

namespace quell {
namespace {

int usage() {
  std::fprintf(stderr,
      "usage: quelltrain train --vocabulary-out FILE --model-out DIR [options] [--masked-digits] FILE...\n"
      "         --masked-digits      the files after it mask every digit as \"x\" (undone before training)\n"
      "         --plain              the files after it are as they are (the default)\n"
      "         --repeat N           the files after it are trained on N times (1): weighs a small corpus up\n"
      "         --vocabulary-size N  (13993)   --min-messages N (2)\n"
      "         --rank-by-frequency  choose the vocabulary by frequency, not by association with the label\n"
      "         --transform N        how counts enter the model: 0 as they are, 1 log(1 + count), 2 presence (2)\n"
      "         --c X (0.1)  --spam-weight X (1)  --seed N (42)\n"
      "         --solver N           liblinear's solver (2: L2-loss linear SVM; 0: logistic regression)\n"
      "         --ham-pairs N        also train on N pairs of training ham joined as \"A，B。\" (0)\n"
      "         --dev FILE           judge FILE with the new model afterwards (may be given more than once)\n"
      "         --show-errors        list the misjudged messages of the dev files on standard error\n"
      "       quelltrain evaluate [--json] [--show-errors] [--model DIR] FILE\n"
      "         judges FILE with the compiled model (default: the one the filter ships) as the filter does\n");
  return 2;
}

int fail(const std::string& message) {
  std::fprintf(stderr, "quelltrain: %s\n", message.c_str());
  return 1;
}

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

// Judges every message as the filter would; with showErrors, the misjudged ones are written to standard
// error as labeled lines.
SpamMetrics judge(const std::vector<LabeledMessage>& messages, const QBModel210713& model,
                  const FeatureVocabulary& vocabulary, bool showErrors = false) {
  SpamMetrics metrics;
  std::vector<const LabeledMessage*> errors;
  auto start = std::chrono::steady_clock::now();
  for (const auto& message : messages) {
    bool spam = isSpamByModel(normalizeMessageBody(message.text), model, vocabulary);
    metrics.add(message.spam, spam);
    if (spam != message.spam) errors.push_back(&message);
  }
  metrics.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (showErrors)
    for (const auto* message : errors)
      std::fprintf(stderr, "%s\t%s\n", message->spam ? "spam" : "ham", message->text.c_str());
  return metrics;
}

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

struct TrainArguments {
  struct File {
    std::string path;
    bool masked;  // digits masked as "x"
    int repeat;   // how many times its messages are trained on
  };
  std::vector<File> files;
  std::string vocabularyOut, modelOut;
  std::vector<std::string> dev;
  std::size_t vocabularySize = 13993;
  int minMessages = 2;
  std::size_t hamPairs = 0;
  bool showErrors = false;
  VocabularyRanking ranking = VocabularyRanking::kAssociation;
  TrainingOptions options;
};

// The training text of one message: masked digits put back, then normalised as the filter normalises.
std::string trainingText(const LabeledMessage& message, bool masked, std::mt19937_64& rng) {
  return normalizeMessageBody(masked ? unmaskDigits(message.text, rng) : message.text);
}

int train(const TrainArguments& args) {
  std::vector<LabeledMessage> messages;
  std::vector<int> corpusOf;
  std::mt19937_64 rng(args.options.seed);
  for (std::size_t c = 0; c < args.files.size(); ++c) {
    std::string error;
    auto file = readLabeledFile(args.files[c].path, &error);
    if (!file) return fail(error);
    for (auto& message : *file) {
      message.text = trainingText(message, args.files[c].masked, rng);
      for (int r = 0; r < args.files[c].repeat; ++r) {
        messages.push_back(message);
        corpusOf.push_back(static_cast<int>(c));
      }
    }
  }
  // Typed ham is longer than the fragments most ham of the Chinese corpus are: joined pairs teach the model
  // that many ordinary words together are still ham.
  std::vector<std::size_t> ham;
  for (std::size_t i = 0; i < messages.size(); ++i)
    if (!messages[i].spam && corpusOf[i] == 0) ham.push_back(i);
  for (std::size_t p = 0; p < args.hamPairs && ham.size() > 1; ++p) {
    const auto& a = messages[ham[rng() % ham.size()]];
    const auto& b = messages[ham[rng() % ham.size()]];
    messages.push_back({false, normalizeMessageBody(a.text + "，" + b.text + "。")});
    corpusOf.push_back(0);
  }

  std::vector<TokenizedMessage> tokenized;
  Progress tokenising("tokenising", messages.size());
  for (std::size_t i = 0; i < messages.size(); ++i) {
    tokenized.push_back({messages[i].spam, corpusOf[i], lowercasedWordTokens(messages[i].text)});
    tokenising.step(i + 1);
  }
  auto vocabularyEntries = selectVocabulary(tokenized, static_cast<int>(args.files.size()), args.vocabularySize,
                                            args.minMessages, args.ranking);
  tokenized.clear();
  FeatureVocabulary vocabulary(vocabularyEntries);

  std::vector<TrainingExample> examples;
  Progress counting("counting", messages.size());
  for (std::size_t i = 0; i < messages.size(); ++i) {
    examples.push_back({buildTokenCounts(messages[i].text, vocabulary), messages[i].spam});
    counting.step(i + 1);
  }
  std::fprintf(stderr, "training on %zu messages, %zu features\n", examples.size(), vocabularyEntries.size());
  auto model = LinearSpamModel::train(examples, vocabularyEntries, args.options);
  if (!model) return fail("training failed");

  char description[256];
  std::snprintf(description, sizeof description,
                "liblinear solver %d, C %g, spam weight %g, bias %g, seed %u, %zu messages, %zu features",
                args.options.solver, args.options.c, args.options.spamWeight, args.options.bias, args.options.seed,
                examples.size(), vocabularyEntries.size());
  auto compiled = compileLinearClassifier(model->toClassifier(description));
  if (!compiled) return fail(compiled.error().localizedDescription);
  std::string vocabularyText;
  for (const auto& entry : vocabularyEntries) vocabularyText += entry + "\n";
  if (!writeFile(args.vocabularyOut, vocabularyText)) return fail("cannot write " + args.vocabularyOut);
  if (!writeFile(std::filesystem::path(args.modelOut) / kModelFileName, compiled.value()))
    return fail("cannot write " + args.modelOut);
  std::fprintf(stderr, "wrote %s and %s\n", args.vocabularyOut.c_str(), args.modelOut.c_str());

  if (args.dev.empty()) return 0;
  auto loaded = MLModel::modelWithContentsOfURL(args.modelOut);
  if (!loaded) return fail(loaded.error().description());
  for (const auto& path : args.dev) {
    std::string error;
    auto dev = readLabeledFile(path, &error);
    if (!dev) return fail(error);
    std::printf("== %s\n%s", path.c_str(),
                judge(*dev, QBModel210713(loaded.value()), vocabulary, args.showErrors).text().c_str());
  }
  return 0;
}

// The model's features must be the vocabulary compiled into this program, or the counts it receives mean
// nothing to it.
bool modelMatchesShippedVocabulary(const MLModel& model) {
  const auto& classifier = model.classifier();
  const auto& vocabulary = FeatureVocabulary::shipped();
  std::size_t unique = 0;
  for (std::uint32_t i = 0; i < classifier.featureCount(); ++i)
    if (!vocabulary.contains(classifier.featureName(i))) return false;
  std::unordered_set<std::string> distinct;
  for (const auto& entry : vocabulary.entries()) distinct.insert(toNfc(entry));
  unique = distinct.size();
  return unique == classifier.featureCount();
}

int evaluate(const std::string& file, const std::string& modelDir, bool json, bool showErrors) {
  std::string error;
  auto messages = readLabeledFile(file, &error);
  if (!messages) return fail(error);
  auto model = modelDir.empty() ? QBModel210713::create() : [&]() -> Expected<QBModel210713> {
    auto loaded = MLModel::modelWithContentsOfURL(modelDir);
    if (!loaded) return loaded.error();
    return QBModel210713(loaded.value());
  }();
  if (!model) return fail(model.error().description());
  if (!modelMatchesShippedVocabulary(model->model()))
    return fail("the model's features are not the vocabulary built into this program; rebuild after training");
  auto metrics = judge(*messages, model.value(), FeatureVocabulary::shipped(), showErrors);
  std::printf("%s", json ? (metrics.json() + "\n").c_str() : metrics.text().c_str());
  return 0;
}

}  // namespace
}  // namespace quell

int main(int argc, char** argv) {
  using namespace quell;
  if (argc < 2) return usage();
  std::string command = argv[1];
  if (command == "evaluate") {
    bool json = false, showErrors = false;
    std::string model, file;
    for (int i = 2; i < argc; ++i) {
      std::string arg = argv[i];
      if (arg == "--json") json = true;
      else if (arg == "--show-errors") showErrors = true;
      else if (arg == "--model" && i + 1 < argc) model = argv[++i];
      else if (file.empty() && arg.rfind("--", 0) != 0) file = arg;
      else return usage();
    }
    if (file.empty()) return usage();
    return evaluate(file, model, json, showErrors);
  }
  if (command == "train") {
    TrainArguments args;
    bool masked = false;
    int repeat = 1;
    for (int i = 2; i < argc; ++i) {
      std::string arg = argv[i];
      bool hasValue = i + 1 < argc;
      // Reads a numeric option's value into target, refusing anything but a number in [min, max] (a whole
      // one for whole-number targets).
      auto number = [&](auto& target, double min, double max) {
        constexpr bool whole = !std::is_floating_point_v<std::remove_reference_t<decltype(target)>>;
        const char* text = argv[++i];
        double v = 0;
        auto [end, ec] = std::from_chars(text, text + std::strlen(text), v);
        if (ec != std::errc() || *end || !(v >= min && v <= max) || (whole && v != std::floor(v))) {
          std::fprintf(stderr, "quelltrain: %s wants %s from %g to %g, not \"%s\"\n", arg.c_str(),
                       whole ? "a whole number" : "a number", min, max, text);
          return false;
        }
        target = static_cast<std::remove_reference_t<decltype(target)>>(v);
        return true;
      };
      bool ok = true;
      std::uint32_t transform = 0;
      if (arg == "--masked-digits") masked = true;
      else if (arg == "--plain") masked = false;
      else if (arg == "--vocabulary-out" && hasValue) args.vocabularyOut = argv[++i];
      else if (arg == "--model-out" && hasValue) args.modelOut = argv[++i];
      else if (arg == "--dev" && hasValue) args.dev.push_back(argv[++i]);
      else if (arg == "--show-errors") args.showErrors = true;
      else if (arg == "--rank-by-frequency") args.ranking = VocabularyRanking::kFrequency;
      else if (arg == "--transform" && hasValue) {
        ok = number(transform, 0, static_cast<double>(FeatureTransform::kPresence));
        args.options.transform = static_cast<FeatureTransform>(transform);
      } else if (arg == "--vocabulary-size" && hasValue) ok = number(args.vocabularySize, 1, 1e7);
      else if (arg == "--min-messages" && hasValue) ok = number(args.minMessages, 1, 1e9);
      else if (arg == "--ham-pairs" && hasValue) ok = number(args.hamPairs, 0, 1e8);
      else if (arg == "--c" && hasValue) ok = number(args.options.c, 1e-9, 1e9);
      else if (arg == "--spam-weight" && hasValue) ok = number(args.options.spamWeight, 1e-9, 1e9);
      else if (arg == "--solver" && hasValue) ok = number(args.options.solver, 0, 100);
      else if (arg == "--seed" && hasValue) ok = number(args.options.seed, 0, UINT32_MAX);
      else if (arg == "--repeat" && hasValue) ok = number(repeat, 1, 1000);
      else if (arg.rfind("--", 0) != 0) args.files.push_back({arg, masked, repeat});
      else return usage();
      if (!ok) return 2;
    }
    if (args.files.empty() || args.vocabularyOut.empty() || args.modelOut.empty()) return usage();
    return train(args);
  }
  return usage();
}
