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
// subfolders it could not list (a run must not treat those as empty). A
// destination's scan sets the files named like the engine's temporary files
// apart, for they are no files of the user's.
struct ScanResult {
    std::vector<std::string> files;
    std::vector<std::string> unreadableFolders;
    std::vector<std::string> temporaryFiles;
};

using Sha256Digest = std::array<std::uint8_t, 32>;

// What an exclusion pattern is matched against: one ending in "/" matches
// folders only.
enum class ItemKind { file, folder };

class SyncEngine {
public:
    std::function<void(const SyncProgress&)> onProgress;
    std::function<void(const std::string&)> onLog;

    // `timeGranularity` replaces the modification-time resolution otherwise
    // taken from the destination's file system (2 s on vfat, ...).
    explicit SyncEngine(std::optional<std::chrono::nanoseconds> timeGranularity = std::nullopt);

    // True when a pattern matches the whole relative path (path mode) or its
    // last component (name mode). A pattern ending in "/" matches folders only.
    static bool isExcluded(std::string_view relativePath, const std::vector<std::string>& patterns,
                           ItemKind kind);

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

    // --- Comparison, plan, run and verification ---

    // True when the source file must be copied over what stands at the
    // destination (read without following a link): a different size, or a
    // later modification time. Throws FileSystemError.
    bool needsCopy(const std::filesystem::path& sourceFile,
                   const std::filesystem::path& destinationFile) const;

    // The dry-run plan: copy items in source order, then (mirror mode) delete
    // items in destination order. Writes nothing and takes no lock. Throws
    // SyncError (sourceNotFound, cannotRead, notAFolder, overlap) or
    // FileSystemError.
    std::vector<DiffItem> preview(const std::filesystem::path& source,
                                  const std::filesystem::path& destination,
                                  const SyncOptions& options) const;

    // Makes the destination catch up with the source, holding the destination
    // folder's lock, under which it also removes temporary files that killed
    // runs left there. A stop request ends the run early with status
    // `cancelled`; mirror deletions withheld (an unattended run whose plan
    // would empty the destination, or more deletions than `maxDeletions`)
    // end it with status `failed` and the reason, after its copies. Throws
    // SyncError (also destinationInUse) or FileSystemError when the run as a
    // whole fails.
    SyncResult sync(const std::filesystem::path& source, const std::filesystem::path& destination,
                    const SyncOptions& options, std::stop_token stop = {});

    // Copies one file, atomically, unless `needsCopy` finds its destination up
    // to date: true when it copied. `bandwidthLimit` in KB per second, 0 or
    // less unlimited. Throws SyncError or FileSystemError.
    bool copyIfNeeded(const std::filesystem::path& sourceFile,
                      const std::filesystem::path& destinationFile, std::int64_t bandwidthLimit,
                      std::stop_token stop = {}) const;

    // Copies in 256 KiB chunks at no more than `bandwidthLimit` KB per second.
    // Throws SyncError (cannotRead, cannotWrite, cancelled) or FileSystemError.
    void throttledCopy(const std::filesystem::path& sourceFile,
                       const std::filesystem::path& destinationFile, std::int64_t bandwidthLimit,
                       std::stop_token stop = {}) const;

    // The SHA-256 of a file's content; an unreadable file hashes as empty
    // input. No digest for an empty location.
    static std::optional<Sha256Digest> fileDigest(const std::filesystem::path& file);

    // For a process about to end without waiting for its run: removes the
    // temporary files of the copies still under way, so none is left behind.
    static void removeUnfinishedCopies();

private:
    std::optional<std::chrono::nanoseconds> timeGranularity_;
};

} // namespace quillfen
