#pragma once

#include "engine/FolderCursor.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <random>
#include <stop_token>
#include <string>
#include <sys/stat.h>

namespace quillfen {

// Copies one file into place atomically: the content goes to a temporary file
// beside the destination, which gets the source's permission bits, times,
// extended attributes (and owner, when running as root) and is then renamed
// over the destination. A failed or cancelled copy leaves the old file as it
// was and no temporary file behind.
class FileCopier {
public:
    // `bandwidthLimit` in KB per second; 0 or less is unlimited.
    FileCopier(std::int64_t bandwidthLimit, std::stop_token stop);

    // Copies a file of the source tree to a place in the destination tree
    // unless a regular file of the same size that is not older (within
    // `granularity`) is there; true when it copied.
    bool copyIfNeeded(FolderCursor& source, const std::string& sourceFile,
                      FolderCursor& destination, const std::string& destinationFile,
                      std::chrono::nanoseconds granularity);

    // Copies a file of the source tree to a place in the destination tree,
    // creating the folders on the way, whatever is there now.
    void copyFile(FolderCursor& source, const std::string& sourceFile, FolderCursor& destination,
                  const std::string& destinationFile);

    // Copies `sourceName` of the folder `sourceFolder` to `destinationName`
    // of `destinationFolder`; the paths name the two files in errors. Throws
    // FileSystemError or SyncError; when the source changed during the copy
    // the copy is still put in place and SyncError::changedWhileCopying is
    // thrown afterwards.
    void copy(int sourceFolder, const std::string& sourceName, int destinationFolder,
              const std::string& destinationName, const std::filesystem::path& sourcePath,
              const std::filesystem::path& destinationPath);

    bool isThrottled() const { return rate_.has_value(); }

private:
    [[noreturn]] void failToOpen(const std::filesystem::path& path, bool forReading) const;
    std::int64_t copyContent(int input, int output, std::int64_t size,
                             const std::filesystem::path& sourcePath,
                             const std::filesystem::path& destinationPath);
    std::int64_t copyThrottled(int input, int output, const std::filesystem::path& sourcePath,
                               const std::filesystem::path& destinationPath);
    void copyMetadata(int input, int output, const struct stat& status) const;
    std::string temporaryName();

    std::optional<double> rate_;
    std::stop_token stop_;
    std::mt19937_64 random_;
    bool isRoot_;
};

} // namespace quillfen
