#pragma once

#include "records/SyncOptions.h"

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
};

// Parses "SOURCE DESTINATION [--mirror] [--preserve-root] [--verify]
// [--bwlimit KBPS] [--builtin] [--exclude PATTERN]... [--json] [--quiet]".
// Throws UsageError.
RunRequest parseRunRequest(const std::vector<std::string>& args);

} // namespace quillfen::cli
