// writeFileAtomically: replaces a file's contents so that a reader, or a crash, sees the old file whole or
// the new one whole, never a truncated mixture. The bytes go to a temporary file beside the target, are
// flushed to disk, and the temporary file is renamed over the target. A failure (a full disk, a read-only
// directory) leaves the old file as it was and removes the temporary file.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/status.h"
#include "platform/store_error.h"

namespace quell {

// Fails with kWriteFailed and a message naming the file and the cause.
Status<StoreError> writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);

}  // namespace quell
