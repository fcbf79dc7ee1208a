#pragma once

#include "records/SyncStatus.h"

#include <cstdint>
#include <optional>
#include <string>

namespace quillfen {

struct SyncResult {
    SyncStatus status = SyncStatus::success;
    std::int64_t filesProcessed = 0;
    std::int64_t filesCopied = 0;
    std::int64_t filesDeleted = 0;
    std::int64_t bytesTransferred = 0;
    double duration = 0;
    bool isDryRun = false;
    std::int64_t failedCount = 0;
    std::int64_t filesExcluded = 0;
    std::int64_t verificationFailures = 0;
    std::optional<std::string> errorMessage;

    // "62m 5s", "59s": whole seconds, no hour unit.
    std::string durationText() const;

    // The lines that sum a run up, from "Status:" to "Duration:", as a run's
    // log ends and the command line closes a sync; no final line feed.
    std::string summaryLines() const;

    friend bool operator==(const SyncResult&, const SyncResult&) = default;
};

} // namespace quillfen
