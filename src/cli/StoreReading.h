#pragma once

#include "storage/StorageService.h"

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen::cli {

// The application's store, loaded by the same rules as the window's, from
// StorageService::defaultContainer(). Reading creates and writes nothing, not
// even the kept copy of a stored file that does not decode.
StorageService openStoreForReading();

// Why a stored file the store could not read is not shown ("cannot read
// PATH: ..."), for the first of `fileNames` it could not read; none when it
// read them all.
std::optional<std::string> unreadableFileProblem(const StorageService& store,
                                                 std::initializer_list<std::string_view> fileNames);
// The same on standard error, as "quillfen-cli: cannot read ..."; true when
// there is nothing to say.
bool checkReadable(const StorageService& store, std::initializer_list<std::string_view> fileNames);

// The verbs' common options: --json, and --limit N where the verb takes it.
struct StoreVerbOptions {
    bool json = false;
    std::optional<std::size_t> limit;
};
enum class LimitOption { refused, accepted };
// Throws UsageError for anything else, or for a --limit that is not a
// non-negative whole number.
StoreVerbOptions parseStoreVerbOptions(const std::vector<std::string>& args, LimitOption limit);

} // namespace quillfen::cli
