#include "records/SyncResult.h"

#include "records/TextFormat.h"

namespace quillfen {

std::string SyncResult::durationText() const {
    return formatDuration(duration);
}

std::string SyncResult::summaryLines() const {
    std::string text = "Status:      " + displayName(status);
    text += "\nFiles:       " + std::to_string(filesCopied) + " copied, " +
            std::to_string(filesDeleted) + " deleted, " + std::to_string(filesProcessed) +
            " processed";
    if (failedCount >= 1)
        text += "\nFailed:      " + std::to_string(failedCount) + " files";
    text += "\nTransferred: " + formatFileSize(bytesTransferred);
    text += "\nDuration:    " + durationText();
    return text;
}

} // namespace quillfen
