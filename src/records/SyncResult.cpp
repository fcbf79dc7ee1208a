#include "records/SyncResult.h"

#include "records/TextFormat.h"

namespace quillfen {

std::string SyncResult::durationText() const {
    return formatDuration(duration);
}

} // namespace quillfen
