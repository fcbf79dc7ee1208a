#pragma once

#include "records/Date.h"
#include "records/SyncResult.h"
#include "records/Uuid.h"

#include <optional>
#include <string>

namespace quillfen {

struct HistoryEntry {
    Uuid id = Uuid::random();
    Date startedAt = now();
    std::optional<Date> endedAt;
    std::string source;
    std::string destination;
    std::optional<SyncResult> result;
    bool isDryRun = false;
    std::optional<std::string> logFileName; // last path component only

    std::string durationText() const;

    friend bool operator==(const HistoryEntry&, const HistoryEntry&) = default;
};

} // namespace quillfen
