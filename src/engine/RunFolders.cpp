#include "engine/RunFolders.h"

#include "engine/FileStamp.h"
#include "engine/FileSystemError.h"
#include "engine/OverlapCheck.h"
#include "engine/SyncError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

namespace quillfen {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

std::filesystem::path runDestination(const std::filesystem::path& source,
                                     const std::filesystem::path& destination, bool preserveRoot) {
    if (!preserveRoot)
        return destination;
    auto normal = std::filesystem::absolute(source).lexically_normal();
    if (!normal.has_filename())
        normal = normal.parent_path();
    const auto name = normal.filename();
    return name.empty() ? destination : destination / name;
}

} // namespace

RunFolders::RunFolders(const std::filesystem::path& source,
                       const std::filesystem::path& destination, const SyncOptions& options)
    : source_(source), destination_(runDestination(source, destination, options.preserveRoot)) {
    struct stat status {};
    if (::stat(source.c_str(), &status) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            throw SyncError::sourceNotFound(source);
        throw SyncError::cannotRead(source);
    }
    if (!S_ISDIR(status.st_mode))
        throw SyncError::notAFolder(source);
    // A source that cannot be listed must never look like an empty one:
    // mirror mode would then empty the destination.
    sourceFd_ = FileDescriptor(::open(source.c_str(), kFolderFlags));
    if (!sourceFd_.isOpen())
        throw SyncError::cannotRead(source);
    if (::stat(destination_.c_str(), &status) == 0 && !S_ISDIR(status.st_mode))
        throw SyncError::notAFolder(destination_);
    OverlapCheck::ensureSeparate(source_, destination_, options.excludePatterns);
}

FileDescriptor RunFolders::openDestination(MissingFolders missing) const {
    const bool create = missing == MissingFolders::create;
    if (create) {
        std::error_code error;
        std::filesystem::create_directories(destination_, error);
        if (error)
            throw FileSystemError(error.value(), destination_);
    }
    FileDescriptor folder(::open(destination_.c_str(), kFolderFlags));
    if (!folder.isOpen() && (create || errno != ENOENT))
        throw FileSystemError(errno, destination_);
    return folder;
}

bool RunFolders::lockDestination(int fd) const {
    // No lock file: the folder itself is locked, so nothing is written to
    // take the lock and a killed run leaves nothing behind.
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno == EWOULDBLOCK)
            throw SyncError::destinationInUse(destination_);
        if (errno != EINTR)
            return false;
    }
}

std::chrono::nanoseconds RunFolders::destinationGranularity() const {
    for (auto path = std::filesystem::absolute(destination_);; path = path.parent_path()) {
        const FileDescriptor folder(::open(path.c_str(), kFolderFlags));
        if (folder.isOpen() || path == path.parent_path())
            return timeGranularityOf(folder.get());
    }
}

} // namespace quillfen
