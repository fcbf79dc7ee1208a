#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillfen {

// Who started a run. Nobody watches an unattended one (the schedule, the
// folder watcher), so a mirror run of that kind refuses to delete most of a
// destination: an unplugged drive leaves its mount folder empty, and the
// destination would otherwise be emptied to match.
enum class RunStart { byHand, unattended };

// What the controller hands the engine for one run or preview.
struct SyncOptions {
    bool deleteExtras = false;
    bool preserveRoot = false;
    std::int64_t bandwidthLimit = 0; // KB (1024 bytes) per second; 0 or less is unlimited
    std::vector<std::string> excludePatterns;
    bool verify = false;
    RunStart start = RunStart::byHand;
    // More planned mirror deletions than this and the run deletes nothing.
    std::optional<std::int64_t> maxDeletions;
};

} // namespace quillfen
