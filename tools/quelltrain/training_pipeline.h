// quelltrain train, one function per stage: read the labeled files, augment them, select the vocabulary,
// train, write the vocabulary and the compiled model, and judge the dev files with the new model.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "tools/quelltrain/labeled_corpus.h"
#include "tools/quelltrain/linear_training.h"
#include "tools/quelltrain/vocabulary_selection.h"

namespace quell {

// One labeled file to train on, as the command line named it.
struct TrainingFile {
  std::filesystem::path path;
  std::string language;       // "zh", "en", ...; empty when not named
  bool maskedDigits = false;  // its creators masked every digit as "x" (undone before training)
  int repeat = 1;             // how many times its messages are trained on
};

struct TrainingRun {
  std::vector<TrainingFile> files;
  std::filesystem::path vocabularyOut, modelOut;
  std::vector<std::filesystem::path> devFiles;
  std::size_t vocabularySize = 13993;
  int minMessages = 2;
  std::size_t chineseHamPairs = 0;  // pairs of ham from the "zh" files joined as "A，B。"
  bool showErrors = false;
  VocabularyRanking ranking = VocabularyRanking::kAssociation;
  TrainingOptions options;
};

// The messages to train on, each normalised as the filter normalises, with the index of its file and how
// many times it is trained on (its file's repeat).
struct TrainingSet {
  std::vector<LabeledMessage> messages;
  std::vector<int> fileOf;
  std::vector<int> repeats;

  std::size_t examples() const;  // the messages counted with their repeats
};

// Reads every file, putting masked digits back; nullopt with *error on a bad file.
std::optional<TrainingSet> readTrainingSet(const TrainingRun& run, std::mt19937_64& rng, std::string* error);

// Adds run.chineseHamPairs joined pairs of ham drawn from the files whose language is "zh". Typed ham is
// longer than the fragments most ham of the Chinese corpus are: the pairs teach the model that many
// ordinary words together are still ham. False (and nothing added) when pairs are asked for and no file
// is marked "zh".
bool addChineseHamPairs(const TrainingRun& run, TrainingSet* set, std::mt19937_64& rng);

// The vocabulary entries: the tokens most associated with the label, sorted by code point. Each message
// counts once, whatever its repeat and however many files name it: a token of one message is not a word
// the model can learn.
std::vector<std::string> chooseVocabulary(const TrainingRun& run, const TrainingSet& set);

// Trains the model on the set's bags of words over the vocabulary.
std::unique_ptr<LinearSpamModel> trainModel(const TrainingRun& run, const TrainingSet& set,
                                            const std::vector<std::string>& vocabulary);

// Writes the vocabulary (one entry per line) and the compiled model, each file replaced whole.
bool writeTrainedFiles(const TrainingRun& run, const std::vector<std::string>& vocabulary, const LinearSpamModel& model,
                       std::size_t examples, std::string* error);

// Judges each dev file with the model just written and prints its figures; false with *error on failure.
bool judgeDevFiles(const TrainingRun& run, const std::vector<std::string>& vocabulary, std::string* error);

}  // namespace quell
