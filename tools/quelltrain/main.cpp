// quelltrain: trains the spam model and its vocabulary from labeled messages, and evaluates a compiled model
// through the code the filter runs.
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <unordered_set>
#include <vector>

#include "platform/bundle.h"
#include "platform/command_line.h"
#include "platform/unicode_text.h"
#include "tools/quelltrain/evaluation.h"
#include "tools/quelltrain/training_pipeline.h"

const quell::BundleIdentity quell::kMainBundleIdentity = {"Quellguard", "app.quell.quelltrain"};

namespace quell {
namespace {

const CommandLine& commandLine() {
  static const CommandLine line(
      "quelltrain",
      "usage: quelltrain train --vocabulary-out FILE --model-out DIR [options] [--language L] [--masked-digits] FILE...\n"
      "         --language L         the files after it are in language L (\"zh\", \"en\", ...)\n"
      "         --masked-digits      the files after it mask every digit as \"x\" (undone before training)\n"
      "         --plain              the files after it are as they are (the default)\n"
      "         --repeat N           the files after it are trained on N times (1): weighs a small corpus up\n"
      "         --vocabulary-size N  (13993)   --min-messages N (2)\n"
      "         --rank-by-frequency  choose the vocabulary by frequency, not by association with the label\n"
      "         --transform N        how counts enter the model: 0 as they are, 1 log(1 + count), 2 presence (2)\n"
      "         --c X (0.1)  --spam-weight X (1)  --seed N (42)\n"
      "         --ham-margin X       call spam only what scores X above the learned boundary (0)\n"
      "         --solver N           liblinear's solver (2: L2-loss linear SVM; 0: logistic regression)\n"
      "         --ham-pairs N        also train on N pairs of ham of the \"zh\" files joined as \"A，B。\" (0)\n"
      "         --dev FILE           judge FILE with the new model afterwards (may be given more than once)\n"
      "         --show-errors        list the misjudged messages of the dev files on standard error\n"
      "       quelltrain evaluate [--json] [--show-errors] [--errors OUT] [--scores OUT] [--model DIR [--vocabulary FILE]]\n"
      "                           FILE\n"
      "         judges FILE with the compiled model (default: the one the filter ships) as the filter does,\n"
      "         over the vocabulary built into the program or the one in FILE (a model just trained);\n"
      "         when its lines carry a category (label<TAB>text<TAB>category), also the ham flagged and\n"
      "         the spam missed per category; --errors writes each misjudged message to OUT as a JSON\n"
      "         line with its score and top words; --scores writes every message's label, category and score\n"
      "         minus the threshold (above 0 is spam) as a TSV line\n");
  return line;
}

int fail(const std::string& message) { return commandLine().fail(message); }

int train(TrainingRun run) {
  std::mt19937_64 rng(run.options.seed);
  std::string error;
  auto set = readTrainingSet(run, rng, &error);
  if (!set) return fail(error);
  if (!addChineseHamPairs(run, &*set, rng)) return fail("--ham-pairs needs ham in a file marked --language zh");
  const auto vocabulary = chooseVocabulary(run, *set);
  auto model = trainModel(run, *set, vocabulary);
  if (!model) return fail("training failed");
  if (!writeTrainedFiles(run, vocabulary, *model, set->examples(), &error)) return fail(error);
  if (!judgeDevFiles(run, vocabulary, &error)) return fail(error);
  return 0;
}

// The model's features must be the vocabulary it is judged with, or the counts it receives mean nothing to
// it.
bool modelMatchesVocabulary(const MLModel& model, const FeatureVocabulary& vocabulary) {
  const auto& classifier = model.classifier();
  for (std::uint32_t i = 0; i < classifier.featureCount(); ++i)
    if (!vocabulary.contains(classifier.featureName(i))) return false;
  std::unordered_set<std::string> distinct;
  for (const auto& entry : vocabulary.entries()) distinct.insert(toNfc(entry));
  return distinct.size() == classifier.featureCount();
}

// The vocabulary read from path, one entry per line; the one compiled into this program when path is empty.
std::optional<FeatureVocabulary> readVocabulary(const std::string& path) {
  if (path.empty()) return FeatureVocabulary::shipped();
  std::ifstream in(path, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.good() && !in.eof()) return std::nullopt;
  return FeatureVocabulary::fromText(text);
}

// The output among outputs that names one of inputs (the same file, by whatever path), if any: writing
// it would destroy the labeled messages it was asked to read.
std::optional<std::filesystem::path> overwritesInput(const std::vector<std::filesystem::path>& outputs,
                                                     const std::vector<std::filesystem::path>& inputs) {
  for (const auto& output : outputs)
    for (const auto& input : inputs) {
      std::error_code error;
      if (!output.empty() && std::filesystem::equivalent(output, input, error)) return output;
    }
  return std::nullopt;
}

// Opens path for writing, or holds nullptr when path is empty.
using OutputFile = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;
bool openOutput(const std::string& path, OutputFile* file) {
  if (!path.empty()) file->reset(std::fopen(path.c_str(), "w"));
  return path.empty() || *file;
}

int evaluate(const std::string& file, const std::string& modelDir, const std::string& vocabularyFile, bool json,
             bool showErrors, const std::string& errorsOut, const std::string& scoresOut) {
  std::string error;
  auto messages = readLabeledFile(file, &error);
  if (!messages) return fail(error);
  const auto vocabulary = readVocabulary(vocabularyFile);
  if (!vocabulary || vocabulary->entries().empty()) return fail("cannot read the vocabulary " + vocabularyFile);
  auto model = modelDir.empty() ? QBModel210713::create() : [&]() -> Expected<QBModel210713> {
    auto loaded = MLModel::modelWithContentsOfURL(modelDir);
    if (!loaded) return loaded.error();
    return QBModel210713(loaded.value());
  }();
  if (!model) return fail(model.error().description());
  if (!modelMatchesVocabulary(model->model(), *vocabulary))
    return fail(vocabularyFile.empty()
                    ? "the model's features are not the vocabulary built into this program; rebuild after training"
                    : "the model's features are not the vocabulary " + vocabularyFile);
  OutputFile errors(nullptr, std::fclose), scores(nullptr, std::fclose);
  if (!openOutput(errorsOut, &errors)) return fail("cannot write " + errorsOut + ": " + std::strerror(errno));
  if (!openOutput(scoresOut, &scores)) return fail("cannot write " + scoresOut + ": " + std::strerror(errno));
  EvaluationOptions options;
  options.model = &model.value();
  options.vocabulary = &*vocabulary;
  options.labeledErrors = showErrors ? stderr : nullptr;
  options.explainedErrors = errors.get();
  options.scores = scores.get();
  auto metrics = evaluateMessages(*messages, options);
  if (errors && std::fclose(errors.release()) != 0) return fail("cannot write " + errorsOut);
  if (scores && std::fclose(scores.release()) != 0) return fail("cannot write " + scoresOut);
  std::printf("%s", json ? (metrics.json() + "\n").c_str() : metrics.text().c_str());
  return 0;
}

}  // namespace
}  // namespace quell

int main(int argc, char** argv) {
  using namespace quell;
  const CommandLine& line = commandLine();
  if (auto exit = line.standardOption(argc, argv)) return *exit;
  if (argc < 2) return line.usageError("a command, train or evaluate, is needed");
  std::string command = argv[1];
  // An option this command does not know, or one whose value is missing.
  auto wrongOption = [&](const std::string& arg, bool hasValue) {
    return line.usageError((hasValue ? "unknown option " : "a value is needed after ") + arg);
  };
  if (command == "evaluate") {
    bool json = false, showErrors = false;
    std::string model, vocabulary, file, errors, scores;
    for (int i = 2; i < argc; ++i) {
      std::string arg = argv[i];
      if (arg == "--json")
        json = true;
      else if (arg == "--show-errors")
        showErrors = true;
      else if (arg == "--errors" && i + 1 < argc)
        errors = argv[++i];
      else if (arg == "--scores" && i + 1 < argc)
        scores = argv[++i];
      else if (arg == "--model" && i + 1 < argc)
        model = argv[++i];
      else if (arg == "--vocabulary" && i + 1 < argc)
        vocabulary = argv[++i];
      else if (file.empty() && arg.rfind("--", 0) != 0)
        file = arg;
      else if (arg.rfind("--", 0) != 0)
        return line.usageError("one FILE only, not also " + arg);
      else
        return wrongOption(arg, i + 1 < argc);
    }
    if (file.empty()) return line.usageError("a FILE to judge is needed");
    if (auto output = overwritesInput({errors, scores}, {file}))
      return line.usageError(output->string() + " is the file to judge; name another file to write");
    return line.finish(evaluate(file, model, vocabulary, json, showErrors, errors, scores));
  }
  if (command == "train") {
    TrainingRun args;
    bool masked = false;
    int repeat = 1;
    std::string language;
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
          char what[256];
          std::snprintf(what, sizeof what, "%s wants %s from %g to %g, not \"%s\"", arg.c_str(),
                        whole ? "a whole number" : "a number", min, max, text);
          line.usageError(what);
          return false;
        }
        target = static_cast<std::remove_reference_t<decltype(target)>>(v);
        return true;
      };
      bool ok = true;
      std::uint32_t transform = 0;
      if (arg == "--masked-digits")
        masked = true;
      else if (arg == "--plain")
        masked = false;
      else if (arg == "--language" && hasValue)
        language = argv[++i];
      else if (arg == "--vocabulary-out" && hasValue)
        args.vocabularyOut = argv[++i];
      else if (arg == "--model-out" && hasValue)
        args.modelOut = argv[++i];
      else if (arg == "--dev" && hasValue)
        args.devFiles.push_back(argv[++i]);
      else if (arg == "--show-errors")
        args.showErrors = true;
      else if (arg == "--rank-by-frequency")
        args.ranking = VocabularyRanking::kFrequency;
      else if (arg == "--transform" && hasValue) {
        ok = number(transform, 0, static_cast<double>(FeatureTransform::kPresence));
        args.options.transform = static_cast<FeatureTransform>(transform);
      } else if (arg == "--vocabulary-size" && hasValue)
        ok = number(args.vocabularySize, 1, 1e7);
      else if (arg == "--min-messages" && hasValue)
        ok = number(args.minMessages, 1, 1e9);
      else if (arg == "--ham-pairs" && hasValue)
        ok = number(args.chineseHamPairs, 0, 1e8);
      else if (arg == "--c" && hasValue)
        ok = number(args.options.c, 1e-9, 1e9);
      else if (arg == "--spam-weight" && hasValue)
        ok = number(args.options.spamWeight, 1e-9, 1e9);
      else if (arg == "--ham-margin" && hasValue)
        ok = number(args.options.hamMargin, 0, 100);
      else if (arg == "--solver" && hasValue)
        ok = number(args.options.solver, 0, 100);
      else if (arg == "--seed" && hasValue)
        ok = number(args.options.seed, 0, UINT32_MAX);
      else if (arg == "--repeat" && hasValue)
        ok = number(repeat, 1, 1000);
      else if (arg.rfind("--", 0) != 0)
        args.files.push_back({arg, language, masked, repeat});
      else
        return wrongOption(arg, hasValue);
      if (!ok) return 2;
    }
    if (args.files.empty() || args.vocabularyOut.empty() || args.modelOut.empty())
      return line.usageError("--vocabulary-out, --model-out and at least one FILE are needed");
    std::vector<std::filesystem::path> inputs;
    for (const auto& file : args.files) inputs.push_back(file.path);
    inputs.insert(inputs.end(), args.devFiles.begin(), args.devFiles.end());
    if (auto output = overwritesInput({args.vocabularyOut, args.modelOut}, inputs))
      return line.usageError(output->string() + " is a file to read; name another file to write");
    return line.finish(train(std::move(args)));
  }
  return line.usageError("unknown command " + command);
}
