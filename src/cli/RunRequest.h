#pragma once

#include "records/SyncOptions.h"
#include "storage/StorageService.h"

#include <optional>
#include <string>
#include <vector>

namespace quillfen::cli {

// One sync or preview as the command line asks for it. Parsed first and run
// afterwards, so that values from elsewhere (a stored profile) can be merged
// in between.
struct RunRequest {
    std::string source;
    std::string destination;
    SyncOptions options;
    bool json = false;
    bool quiet = false;
    std::string profile; // a stored profile's name; its folders then come from the store
};

// Parses "SOURCE DESTINATION [--mirror] [--preserve-root] [--verify]
// [--bwlimit KBPS] [--max-delete N] [--builtin] [--exclude PATTERN]...
// [--json] [--quiet]" or "--profile NAME [options]". Throws UsageError.
RunRequest parseRunRequest(const std::vector<std::string>& args);

// Takes the folders, options and rules of the stored profile the request
// names; the command line's options are added to the profile's. The message
// to print when there is no such profile.
std::optional<std::string> applyProfile(RunRequest& request, const StorageService& store);

} // namespace quillfen::cli
