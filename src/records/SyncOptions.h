#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillfen {

// What the controller hands the engine for one run or preview.
struct SyncOptions {
    bool deleteExtras = false;
    bool preserveRoot = false;
    std::int64_t bandwidthLimit = 0; // KB (1024 bytes) per second; 0 or less is unlimited
    std::vector<std::string> excludePatterns;
    bool verify = false;
};

} // namespace quillfen
