#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace quillfen {

// The ".trashinfo" text for an item whose original location is `pathText`
// (absolute, or relative to the trash's top directory), deleted at
// `deletedAt` (written in local time).
std::string trashInfoContents(std::string_view pathText, std::time_t deletedAt);

// Percent-encodes every byte of `path` except '/' and the unreserved
// characters, so names that are not UTF-8 survive the round trip.
std::string percentEncodePath(std::string_view path);

// The name an item takes inside the trash on the `attempt`-th try (1, 2, ...):
// "notes.txt", "notes 2.txt", "notes 3.txt"; shortened where needed so that
// the name plus ".trashinfo" still fits in one directory entry.
std::string trashCandidateName(std::string_view name, int attempt);

} // namespace quillfen
