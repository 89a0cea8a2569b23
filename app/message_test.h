// The message test: how the filter would judge a copied text from a sender on neither number list, by the
// keyword whitelist, the keyword blacklist and the model, in that order.
#pragma once

#include <QString>
#include <optional>
#include <string>

namespace quell {

struct TestVerdict {
  QString title;      // what the alert says
  std::string label;  // "spam" or "ham": the app's verdict, sent with a report
};

// The verdict for an already normalised, non-empty text.
TestVerdict judgeMessage(const std::string& normalizedText);

}  // namespace quell
