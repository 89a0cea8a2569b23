#include "engine/features/word_tokenizer.h"

#include <unicode/brkiter.h>
#include <unicode/ubrk.h>
#include <unicode/uchar.h>

#include <memory>

namespace quell {

namespace {

icu::BreakIterator* threadWordIterator() {
  thread_local std::unique_ptr<icu::BreakIterator> iterator = [] {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> it(icu::BreakIterator::createWordInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status)) it.reset();
    return it;
  }();
  return iterator.get();
}

// ICU gives emoji and symbols the "none" status of punctuation; the tagger counts them as words.
bool isPictographic(UChar32 c) {
  return u_hasBinaryProperty(c, UCHAR_EXTENDED_PICTOGRAPHIC) || u_hasBinaryProperty(c, UCHAR_REGIONAL_INDICATOR) ||
         u_charType(c) == U_OTHER_SYMBOL;
}

}  // namespace

std::vector<WordToken> wordTokens(const icu::UnicodeString& text) {
  std::vector<WordToken> tokens;
  icu::BreakIterator* words = threadWordIterator();
  if (!words || text.isEmpty()) return tokens;  // without ICU's data there are no tokens
  words->setText(text);
  int32_t start = words->first();
  for (int32_t limit = words->next(); limit != icu::BreakIterator::DONE; start = limit, limit = words->next()) {
    int32_t status = words->getRuleStatus();
    if (status >= UBRK_WORD_NONE_LIMIT || isPictographic(text.char32At(start))) tokens.push_back({start, limit});
  }
  return tokens;
}

icu::UnicodeString lowercased(std::string_view text) {
  icu::UnicodeString s = icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
  s.toLower(icu::Locale::getRoot());
  return s;
}

std::vector<std::string> lowercasedWordTokens(std::string_view text) {
  icu::UnicodeString lower = lowercased(text);
  std::vector<std::string> result;
  for (const auto& token : wordTokens(lower)) {
    std::string utf8;
    lower.tempSubStringBetween(token.start, token.limit).toUTF8String(utf8);
    result.push_back(std::move(utf8));
  }
  return result;
}

}  // namespace quell
