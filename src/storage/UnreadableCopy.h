#pragma once

#include "records/Date.h"

#include <filesystem>
#include <string_view>

namespace quillfen {

// Keeps the bytes of a stored file that could not be decoded beside it, as
// "<name>.unreadable-<UTC time>" (e.g. history.json.unreadable-20261206T101500Z),
// before anything can overwrite the file. Nothing is written when an
// identical copy already exists there, so a damaged file kept across many
// starts is copied once; empty content holds nothing worth keeping. The copy
// gets the file's own permission bits. Failures are silent, like every other
// write of the store.
void keepUnreadableCopy(const std::filesystem::path& file, std::string_view bytes,
                        Date when = now());

} // namespace quillfen
