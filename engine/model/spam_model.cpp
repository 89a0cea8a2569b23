#include "engine/model/spam_model.h"

#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cmath>

#include "engine/features/token_counts.h"

namespace quell {

std::optional<bool> labelBool(std::string_view label) {
  icu::UnicodeString s =
      icu::UnicodeString::fromUTF8(icu::StringPiece(label.data(), static_cast<int32_t>(label.size())));
  int32_t begin = 0, end = s.length();
  while (begin < end && u_isUWhiteSpace(s.char32At(begin))) begin = s.moveIndex32(begin, 1);
  while (end > begin && u_isUWhiteSpace(s.char32At(s.moveIndex32(end, -1)))) end = s.moveIndex32(end, -1);
  icu::UnicodeString word(s, begin, end - begin);
  word.toLower(icu::Locale::getRoot());
  if (word == u"true" || word == u"spam") return true;
  if (word == u"false" || word == u"ham") return false;
  return std::nullopt;
}

namespace {

// The decision value favours the model's first label; the score favours spam. +1 or -1.
double spamOrientation(const QBModel210713& model) {
  return labelBool(model.model().classifier().label(1)) == true ? -1.0 : 1.0;
}

// The wordsPerSide largest contributions towards each side, ordered by size.
std::vector<WordContribution> topWords(const TokenCounts& counts, const MLFeatureValue::Dictionary& contributions,
                                       double orientation, std::size_t wordsPerSide) {
  std::vector<WordContribution> spamward, hamward;
  for (const auto& [word, count] : counts.entries()) {
    auto it = contributions.find(word);
    if (it == contributions.end()) continue;
    const double weight = orientation * it->second;
    if (weight > 0) spamward.push_back({word, count, weight});
    if (weight < 0) hamward.push_back({word, count, weight});
  }
  auto larger = [](const WordContribution& a, const WordContribution& b) {
    const double x = std::fabs(a.weight), y = std::fabs(b.weight);
    return x != y ? x > y : a.word < b.word;
  };
  std::vector<WordContribution> words;
  for (auto* side : {&spamward, &hamward}) {
    const std::size_t kept = std::min(wordsPerSide, side->size());
    std::partial_sort(side->begin(), side->begin() + static_cast<std::ptrdiff_t>(kept), side->end(), larger);
    words.insert(words.end(), side->begin(), side->begin() + static_cast<std::ptrdiff_t>(kept));
  }
  std::sort(words.begin(), words.end(), larger);
  return words;
}

ModelJudgement judgeWith(TokenCounts counts, const QBModel210713& model, std::size_t wordsPerSide) {
  ModelJudgement judgement;
  QBModel210713Input input(std::move(counts));
  MLPredictionOptions options;
  options.includesContributions = wordsPerSide > 0;
  auto output = model.prediction(input, options);
  if (!output) {
    judgement.outcome = ModelJudgement::Outcome::kFailed;
    judgement.failure = output.error().localizedDescription;
    return judgement;
  }
  auto rating = output->rating();
  auto spam = rating ? labelBool(*rating) : std::nullopt;
  if (!spam) {
    judgement.outcome = ModelJudgement::Outcome::kFailed;
    judgement.failure =
        rating ? "the model's label \"" + *rating + "\" is neither spam nor not spam" : "the model gave no label";
    return judgement;
  }
  judgement.outcome = ModelJudgement::Outcome::kJudged;
  judgement.spam = *spam;
  const double orientation = spamOrientation(model);
  judgement.score = orientation * output->decisionValue().value_or(0.0);
  const auto& classifier = model.model().classifier();
  if (classifier.biasValue() > 0) judgement.bias = orientation * classifier.biasWeight() * classifier.biasValue();
  if (wordsPerSide > 0) judgement.words = topWords(input.text, output->contributions(), orientation, wordsPerSide);
  return judgement;
}

}  // namespace

ModelJudgement judgeByModel(std::string_view body, const ModelChoice& choice) {
  const FeatureVocabulary& vocabulary = choice.vocabulary ? *choice.vocabulary : FeatureVocabulary::shipped();
  TokenCounts counts = buildTokenCounts(body, vocabulary);
  if (choice.model) return judgeWith(std::move(counts), *choice.model, choice.wordsPerSide);
  auto model = QBModel210713::create();
  if (!model) {
    ModelJudgement judgement;
    judgement.outcome = ModelJudgement::Outcome::kUnavailable;
    judgement.failure = model.error().localizedDescription;
    return judgement;
  }
  return judgeWith(std::move(counts), model.value(), choice.wordsPerSide);
}

bool isSpamByModel(std::string_view body) { return judgeByModel(body, {nullptr, nullptr, 0}).spam; }

bool isSpamByModel(std::string_view body, const QBModel210713& model, const FeatureVocabulary& vocabulary) {
  return judgeByModel(body, {&model, &vocabulary, 0}).spam;
}

}  // namespace quell
