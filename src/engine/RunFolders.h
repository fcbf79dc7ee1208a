#pragma once

#include "engine/FileDescriptor.h"
#include "engine/FolderCursor.h"
#include "records/SyncOptions.h"

#include <chrono>
#include <filesystem>

namespace quillfen {

// The two folders one run or preview works on, checked before anything is
// written: the source is a folder that can be listed, the destination is the
// one the options name (inside it, under the source's own name, with
// `preserveRoot`), is a folder where it exists, and the two do not overlap.
class RunFolders {
public:
    // Throws SyncError::sourceNotFound, cannotRead, notAFolder or overlap.
    RunFolders(const std::filesystem::path& source, const std::filesystem::path& destination,
               const SyncOptions& options);

    const std::filesystem::path& source() const { return source_; }
    const std::filesystem::path& destination() const { return destination_; }

    FileDescriptor takeSource() { return std::move(sourceFd_); }

    // Opens the destination folder, creating it with its parents first on
    // request; a missing folder left so gives no handle. Throws
    // FileSystemError.
    FileDescriptor openDestination(MissingFolders missing) const;

    // Takes this process's exclusive hold on the opened destination folder
    // `fd` for as long as `fd` (or a copy of it) stays open, so that two runs
    // never write into one folder at once. False when its file system keeps
    // no such locks; the run then goes on without. Throws
    // SyncError::destinationInUse, at once, while another run holds it.
    bool lockDestination(int fd) const;

    // The modification-time resolution where the destination is (or will be).
    std::chrono::nanoseconds destinationGranularity() const;

private:
    std::filesystem::path source_;
    std::filesystem::path destination_;
    FileDescriptor sourceFd_;
};

} // namespace quillfen
