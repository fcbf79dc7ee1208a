#pragma once

#include "engine/FileLocation.h"
#include "engine/FolderCursor.h"
#include "engine/TemporaryFile.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <stop_token>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace quillfen {

// Copies one file into place atomically: the content goes to a temporary file
// beside the destination, which gets the source's permission bits, times,
// extended attributes (and owner, when running as root) and then takes the
// destination's name (see TemporaryFile). A failed or cancelled copy, or one
// whose source changed while it was read, leaves the old file as it was and
// no temporary file behind.
class FileCopier {
public:
    // Takes away the folder `name` in the folder `parentFd`, which stands
    // where the destination file `relativePath` goes; throws when it cannot.
    using FolderClearer =
        std::function<void(int parentFd, const std::string& name, const std::string& relativePath)>;

    // What the caller last saw at the destination: `free` when nothing stood
    // there. A copy to a free place needs no look for a folder in the way and
    // can take a temporary file without a name.
    enum class Target { unknown, free };

    // `bandwidthLimit` in KB per second; 0 or less is unlimited. Without
    // `clearFolder` a folder standing where a copy goes fails that copy with
    // SyncError::folderInTheWay, before any byte is copied.
    FileCopier(std::int64_t bandwidthLimit, std::stop_token stop, FolderClearer clearFolder = {});

    // Copies a file of the source tree to a place in the destination tree
    // unless a regular file of the same size that is not older (within
    // `granularity`) is there; true when it copied.
    bool copyIfNeeded(FolderCursor& source, const std::string& sourceFile,
                      FolderCursor& destination, const std::string& destinationFile,
                      std::chrono::nanoseconds granularity);

    // Copies a file of the source tree to a place in the destination tree,
    // creating the folders on the way, over whatever file is there now.
    void copyFile(FolderCursor& source, const std::string& sourceFile, FolderCursor& destination,
                  const std::string& destinationFile, Target target = Target::unknown);

    // Copies `sourceName` of the folder `sourceFolder` to `destinationName`
    // of `destinationFolder`; the paths name the two files in errors. A
    // source that changes during the copy is copied once more at once; when
    // it changes again SyncError::changedWhileCopying is thrown. A folder at
    // the destination goes to `clearFolder` (see TemporaryFile::place).
    // Throws FileSystemError or SyncError.
    void copy(int sourceFolder, const std::string& sourceName, int destinationFolder,
              const std::string& destinationName, const FileLocation& sourcePath,
              const FileLocation& destinationPath, const std::function<void()>& clearFolder = {},
              Target target = Target::unknown);

    bool isThrottled() const { return rate_.has_value(); }

private:
    enum class Side { source, destination };

    bool copyUnchanged(int sourceFolder, const std::string& sourceName, int destinationFolder,
                       const std::string& destinationName, const FileLocation& sourcePath,
                       const FileLocation& destinationPath,
                       const std::function<void()>& clearFolder, Target target);
    std::unique_ptr<TemporaryFile> createTemporary(int folder, mode_t mode, Target target);
    [[noreturn]] void failToOpen(const FileLocation& path, Side side) const;
    std::int64_t copyContent(int input, int output, std::int64_t size,
                             const FileLocation& sourcePath, const FileLocation& destinationPath);
    std::int64_t copyThrottled(int input, int output, const FileLocation& sourcePath,
                               const FileLocation& destinationPath);
    std::vector<char>& buffer(std::size_t size);
    void copyMetadata(int input, int output, const struct stat& status) const;

    std::optional<double> rate_;
    std::stop_token stop_;
    FolderClearer clearFolder_;
    std::mt19937_64 random_;
    bool isRoot_;
    bool unnamedWorks_ = true; // until the destination's file system refuses one
    std::vector<char> buffer_; // reused by every copy through memory
};

} // namespace quillfen
