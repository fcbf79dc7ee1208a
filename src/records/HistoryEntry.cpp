#include "records/HistoryEntry.h"

#include "records/TextFormat.h"

namespace quillfen {

std::string HistoryEntry::durationText() const {
    return formatDuration(secondsBetween(startedAt, endedAt.value_or(startedAt)));
}

} // namespace quillfen
