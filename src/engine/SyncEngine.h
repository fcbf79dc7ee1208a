#pragma once

#include "records/DiffItem.h"
#include "records/FolderStats.h"
#include "records/SyncOptions.h"
#include "records/SyncProgress.h"
#include "records/SyncResult.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen {

// What a tree scan found: the regular files in enumeration order, and the
// subfolders it could not list (a run must not treat those as empty).
struct ScanResult {
    std::vector<std::string> files;
    std::vector<std::string> unreadableFolders;
};

using Sha256Digest = std::array<std::uint8_t, 32>;

class SyncEngine {
public:
    std::function<void(const SyncProgress&)> onProgress;
    std::function<void(const std::string&)> onLog;

    // True when a pattern matches the whole relative path (path mode) or its
    // last component (name mode). A pattern ending in "/" matches folders only.
    static bool isExcluded(std::string_view relativePath, const std::vector<std::string>& patterns,
                           bool isDirectory);

    // Lists the regular files below `root`, depth first, a folder before its
    // contents. Throws FileSystemError when an item's attributes cannot be read.
    ScanResult scanFiles(const std::filesystem::path& root,
                         const std::vector<std::string>& patterns,
                         const std::function<void(const std::string&)>& onExcluded = {}) const;

    // Files, folders and file bytes below `path` (a link in its place is not
    // followed). Stops at the first item after `stop` is requested (figures so
    // far, not partial) or after `cap` (figures so far, partial). Never fails.
    static FolderStats computeFolderStats(const std::string& path, std::stop_token stop = {},
                                          std::chrono::milliseconds cap = std::chrono::seconds(10));
};

} // namespace quillfen
