// Labeled message files as the trainer reads them: UTF-8, one message per line, "spam" or "ham", a tab,
// the text, and optionally a tab and the message's category ("bank", "trojan", ...).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace quell {

struct LabeledMessage {
  bool spam;
  std::string text;
  std::string category;  // empty when the line names none
};

// Reads a labeled file. Lines that are empty are skipped; any other line without a known label and a tab,
// or with more than three columns, is an error, described in *error (with its line number).
std::optional<std::vector<LabeledMessage>> readLabeledFile(const std::filesystem::path& path, std::string* error);

// Undoes the digit masking of a corpus whose creators replaced every digit by "x": each maximal run of
// "x" that touches no ASCII letter, or is at least three long, becomes random digits of the same length.
// Runs inside words ("box", "wx") stay. Deterministic for a given generator state.
std::string unmaskDigits(const std::string& text, std::mt19937_64& rng);

}  // namespace quell
