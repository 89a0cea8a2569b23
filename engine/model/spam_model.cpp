#include "engine/model/spam_model.h"

#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include "engine/features/token_counts.h"

namespace quell {

std::optional<bool> labelBool(std::string_view label) {
  icu::UnicodeString s = icu::UnicodeString::fromUTF8(icu::StringPiece(label.data(), static_cast<int32_t>(label.size())));
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

bool predictsSpam(TokenCounts counts, const QBModel210713& model) {
  QBModel210713Input input(std::move(counts));
  auto output = model.prediction(input);
  if (!output) return false;  // a failed prediction answers not spam
  auto rating = output->rating();
  if (!rating) return false;  // no label: not spam
  return labelBool(*rating).value_or(false);
}

}  // namespace

bool isSpamByModel(std::string_view body, const QBModel210713& model, const FeatureVocabulary& vocabulary) {
  return predictsSpam(buildTokenCounts(body, vocabulary), model);
}

bool isSpamByModel(std::string_view body) {
  TokenCounts counts = buildTokenCounts(body);
  auto model = QBModel210713::create();
  if (!model) return false;  // a missing or unloadable model answers not spam
  return predictsSpam(std::move(counts), model.value());
}

}  // namespace quell
