#pragma once

#include "records/Date.h"
#include "records/ExclusionPattern.h"
#include "records/Uuid.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillfen {

struct SyncProfile {
    Uuid id = Uuid::random();
    std::string name;
    std::string source;
    std::string destination;
    bool deleteExtras = false;
    bool preserveRoot = false;
    std::int64_t bandwidthLimit = 0; // KB per second; 0 is unlimited
    std::vector<ExclusionPattern> excludePatterns;
    Date createdAt = now();

    friend bool operator==(const SyncProfile&, const SyncProfile&) = default;
};

} // namespace quillfen
