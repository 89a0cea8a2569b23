// A junk log as months of the bridge's use leave it, for the junk page's tests and benchmark.
#pragma once

#include <filesystem>

namespace quell::testing {

// Makes the junk log at path (created with JunkLog's own tables when absent) hold `entries` entries more,
// written in one transaction: senders "1069" followed by the entry's number, a shop's advertisement with
// that number, keyword-blacklist reasons, the newest last. True when they were written.
bool fillJunkLog(const std::filesystem::path& path, int entries);

}  // namespace quell::testing
