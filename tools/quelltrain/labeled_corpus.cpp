#include "tools/quelltrain/labeled_corpus.h"

#include <fstream>

namespace quell {

namespace {

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

std::optional<std::vector<LabeledMessage>> readLabeledFile(const std::filesystem::path& path, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "cannot read " + path.string();
    return std::nullopt;
  }
  std::vector<LabeledMessage> messages;
  std::string line;
  for (std::size_t number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    const auto tab = line.find('\t');
    const std::string label = line.substr(0, tab);
    const auto categoryTab = tab == std::string::npos ? tab : line.find('\t', tab + 1);
    const bool extraColumn = categoryTab != std::string::npos && line.find('\t', categoryTab + 1) != std::string::npos;
    if (tab == std::string::npos || (label != "spam" && label != "ham") || extraColumn) {
      *error = path.string() + ":" + std::to_string(number) +
               ": expected \"spam\" or \"ham\", a tab, the text, and optionally a tab and a category";
      return std::nullopt;
    }
    LabeledMessage message{label == "spam", line.substr(tab + 1, categoryTab - tab - 1), ""};
    if (categoryTab != std::string::npos) message.category = line.substr(categoryTab + 1);
    messages.push_back(std::move(message));
  }
  return messages;
}

std::string unmaskDigits(const std::string& text, std::mt19937_64& rng) {
  std::string out = text;
  for (std::size_t i = 0; i < out.size();) {
    if (out[i] != 'x') {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < out.size() && out[end] == 'x') ++end;
    bool touchesLetter = (i > 0 && isAsciiLetter(out[i - 1])) || (end < out.size() && isAsciiLetter(out[end]));
    if (!touchesLetter || end - i >= 3)
      for (std::size_t j = i; j < end; ++j) out[j] = static_cast<char>('0' + rng() % 10);
    i = end;
  }
  return out;
}

}  // namespace quell
