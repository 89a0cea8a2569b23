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
    auto tab = line.find('\t');
    std::string label = line.substr(0, tab);
    if (tab == std::string::npos || (label != "spam" && label != "ham")) {
      *error = path.string() + ":" + std::to_string(number) + ": expected \"spam\" or \"ham\", a tab, the text";
      return std::nullopt;
    }
    messages.push_back({label == "spam", line.substr(tab + 1)});
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
