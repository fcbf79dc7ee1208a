#pragma once

#include <cstdint>
#include <string>

namespace quillfen {

struct SyncProgress {
    enum class Phase { idle, scanning, syncing, verifying, done };

    Phase phase = Phase::idle;
    std::int64_t totalFiles = 0;
    std::int64_t processedFiles = 0;
    std::int64_t copiedFiles = 0;
    std::int64_t deletedFiles = 0;
    std::int64_t copiedBytes = 0;
    std::int64_t totalBytes = 0;
    std::int64_t processedBytes = 0;
    std::string currentFile;

    friend bool operator==(const SyncProgress&, const SyncProgress&) = default;
};

} // namespace quillfen
