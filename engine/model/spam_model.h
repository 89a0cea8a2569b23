// The last stage of the verdict, for messages that no rule list decided: the model's judgement of the body.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/model/qb_model_210713.h"

namespace quell {

// Reads a model label as a Boolean: after trimming Unicode white space and line breaks from both ends and
// lowercasing, "true" and "spam" are true, "false" and "ham" are false, anything else (the empty label
// included) is nullopt. The program's only parser of model labels.
std::optional<bool> labelBool(std::string_view label);

// One word's part in a judgement.
struct WordContribution {
  std::string word;   // as the message first spelled it
  double count = 0;   // how often it occurs in the counted body
  double weight = 0;  // what it added to the score: positive towards spam, negative towards not spam
};

// What the model made of a body, and what that rests on.
struct ModelJudgement {
  enum class Outcome {
    kJudged,       // the model was asked and its label read as spam or not spam
    kUnavailable,  // the model is missing or cannot be loaded
    kFailed,       // the prediction failed, or its label is neither spam nor not spam
  };
  Outcome outcome = Outcome::kUnavailable;
  std::string failure;  // why the model gave no judgement (kUnavailable, kFailed)
  // The label read as spam. False for every outcome but kJudged: a model that cannot answer answers not
  // spam.
  bool spam = false;
  // The model's decision value, signed so that spam lies above the threshold, and that threshold.
  double score = 0;
  double threshold = 0;
  // The part of the score that no word made (the model's bias term): the score of a message without a
  // known word.
  double bias = 0;
  // The words that moved the score most: up to wordsPerSide towards each side, ordered by the size of
  // their contribution, largest first. Only words that are in the vocabulary and known to the model.
  std::vector<WordContribution> words;
};

// Which model judges, and how much the judgement tells.
struct ModelChoice {
  const QBModel210713* model = nullptr;           // nullptr: the shipped model, loaded afresh for this judgement
  const FeatureVocabulary* vocabulary = nullptr;  // nullptr: the shipped vocabulary
  std::size_t wordsPerSide = 5;                   // 0: no words (the judgement is then a little cheaper)
};

// Judges an already normalised body: builds the bag of words, predicts, reads the label. Never fails; an
// outcome other than kJudged says why the model could not be asked.
ModelJudgement judgeByModel(std::string_view body, const ModelChoice& choice = {});

// judgeByModel(...).spam: true when the model judges the body to be spam.
bool isSpamByModel(std::string_view body);
bool isSpamByModel(std::string_view body, const QBModel210713& model,
                   const FeatureVocabulary& vocabulary = FeatureVocabulary::shipped());

}  // namespace quell
