#pragma once

#include "engine/SyncEngine.h"

#include <chrono>
#include <optional>
#include <vector>

namespace quillfen {

// The dry-run plan: what a run with the same options would copy and delete,
// found by the same comparison and the same mirror rules, writing nothing.
class PreviewPlanner {
public:
    explicit PreviewPlanner(std::optional<std::chrono::nanoseconds> timeGranularity);

    // Copy items in source order, then delete items in destination order.
    // Throws SyncError or FileSystemError like a run.
    std::vector<DiffItem> plan(const std::filesystem::path& source,
                               const std::filesystem::path& destination,
                               const SyncOptions& options) const;

private:
    std::optional<std::chrono::nanoseconds> timeGranularity_;
};

} // namespace quillfen
