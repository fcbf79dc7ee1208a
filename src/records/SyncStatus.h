#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillfen {

enum class SyncStatus { success, cancelled, failed };

std::string toString(SyncStatus status);
// "Success", "Cancelled", "Failed"
std::string displayName(SyncStatus status);
std::optional<SyncStatus> syncStatusFromString(std::string_view text);

} // namespace quillfen
