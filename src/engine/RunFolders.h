#pragma once

#include "engine/FileDescriptor.h"
#include "records/SyncOptions.h"

#include <chrono>
#include <filesystem>

namespace quillfen {

// The two folders one run or preview works on, checked before anything is
// written: the source exists and can be listed, the destination is the one
// the options name (inside it, under the source's own name, with
// `preserveRoot`) and the two do not overlap.
class RunFolders {
public:
    // Throws SyncError::sourceNotFound, SyncError::cannotRead or SyncError::overlap.
    RunFolders(const std::filesystem::path& source, const std::filesystem::path& destination,
               const SyncOptions& options);

    const std::filesystem::path& source() const { return source_; }
    const std::filesystem::path& destination() const { return destination_; }

    FileDescriptor takeSource() { return std::move(sourceFd_); }

    // Opens the destination folder, creating it with its parents first when
    // `create` is set. Without `create` a missing folder gives no handle.
    // Throws FileSystemError.
    FileDescriptor openDestination(bool create) const;

    // The modification-time resolution where the destination is (or will be).
    std::chrono::nanoseconds destinationGranularity() const;

private:
    std::filesystem::path source_;
    std::filesystem::path destination_;
    FileDescriptor sourceFd_;
};

} // namespace quillfen
