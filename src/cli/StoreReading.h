#pragma once

#include "storage/StorageService.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen::cli {

// The application's store, loaded by the same rules as the window's, from
// StorageService::defaultContainer(). Reading creates no folder; the only
// thing it may write is the kept copy of a stored file that does not decode.
StorageService openStoreForReading();

// Text from the store as it may be shown on a terminal: control characters
// (a newline in a profile name, an escape sequence in a path) become U+FFFD.
std::string terminalSafe(std::string_view text);

// The verbs' common options: --json, and --limit N where the verb takes it.
struct StoreVerbOptions {
    bool json = false;
    std::optional<std::size_t> limit;
};
// Throws UsageError for anything else, or for a --limit that is not a
// non-negative whole number.
StoreVerbOptions parseStoreVerbOptions(const std::vector<std::string>& args, bool acceptsLimit);

} // namespace quillfen::cli
