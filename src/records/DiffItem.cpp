#include "records/DiffItem.h"

namespace quillfen {

std::string toString(DiffItem::Action action) {
    return action == DiffItem::Action::copy ? "copy" : "delete";
}

SyncResult previewResult(const std::vector<DiffItem>& items) {
    SyncResult result;
    result.isDryRun = true;
    result.filesProcessed = static_cast<std::int64_t>(items.size());
    for (const auto& item : items) {
        if (item.action == DiffItem::Action::copy)
            ++result.filesCopied;
        else
            ++result.filesDeleted;
        result.bytesTransferred += item.size;
    }
    return result;
}

} // namespace quillfen
