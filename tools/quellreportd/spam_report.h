// One missed-spam report as the app sends it: a JSON object of strings with the user's label, the app's
// label and the (normalised) text, plus device facts.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quell {

struct SpamReport {
  std::string useRating;  // "spam" or "ham": the user's label
  std::string appRating;  // "spam" or "ham": the app's verdict
  std::string text;
  std::optional<std::string> osVersion, deviceUuid, appVersion;
};

// Parses and checks a report body: one JSON object whose members are all strings, holding "use_rating" and
// "app_rating" ("spam" or "ham") and a non-empty "text". Members other than the six known ones are
// ignored. On a fault, nullopt and a description in *error.
std::optional<SpamReport> parseSpamReport(std::string_view body, std::string* error);

}  // namespace quell
