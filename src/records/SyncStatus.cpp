#include "records/SyncStatus.h"

namespace quillfen {

std::string toString(SyncStatus status) {
    switch (status) {
    case SyncStatus::success:
        return "success";
    case SyncStatus::cancelled:
        return "cancelled";
    case SyncStatus::failed:
        return "failed";
    }
    return "failed";
}

std::string displayName(SyncStatus status) {
    std::string text = toString(status);
    text.front() = static_cast<char>(text.front() - 'a' + 'A');
    return text;
}

std::optional<SyncStatus> syncStatusFromString(std::string_view text) {
    for (auto status : {SyncStatus::success, SyncStatus::cancelled, SyncStatus::failed}) {
        if (toString(status) == text)
            return status;
    }
    return std::nullopt;
}

} // namespace quillfen
