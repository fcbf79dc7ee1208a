#include "engine/FileCopier.h"

#include "engine/FileDescriptor.h"
#include "engine/FileSystemError.h"
#include "engine/SyncError.h"
#include "engine/Throttle.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace quillfen {
namespace {

constexpr std::int64_t kWholeFileChunk = std::int64_t(1) << 30;
constexpr std::size_t kThrottledChunk = 262'144;
constexpr std::size_t kFallbackChunk = 262'144;
// Up to this size a file goes through memory: one read and one write cost
// the kernel less than setting up an in-kernel copy.
constexpr std::int64_t kSmallFile = 65'536;

bool errorBlamesDestination(int errorNumber) {
    return errorNumber == ENOSPC || errorNumber == EDQUOT || errorNumber == EFBIG ||
           errorNumber == EROFS || errorNumber == EPERM;
}

[[noreturn]] void throwCopyError(int errorNumber, const FileLocation& sourcePath,
                                 const FileLocation& destinationPath) {
    throw FileSystemError(errorNumber, errorBlamesDestination(errorNumber) ? destinationPath.path()
                                                                           : sourcePath.path());
}

// Errors after which a simpler copy method can take over where it stopped.
bool copyRangeUnsupported(int errorNumber) {
    return errorNumber == EXDEV || errorNumber == ENOSYS || errorNumber == EOPNOTSUPP ||
           errorNumber == EINVAL;
}

bool sendfileUnsupported(int errorNumber) {
    return errorNumber == EINVAL || errorNumber == ENOSYS;
}

// Writes all `size` bytes; false when the output refuses some of them.
bool writeAll(int output, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(output, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool sameTime(const struct timespec& before, const struct timespec& after) {
    return before.tv_sec == after.tv_sec && before.tv_nsec == after.tv_nsec;
}

// The change time too: a rewrite that restores the modification time, or
// comes within one tick of a coarse clock, still moves it.
bool sameStamp(const struct stat& before, const struct stat& after) {
    return before.st_size == after.st_size && sameTime(before.st_mtim, after.st_mtim) &&
           sameTime(before.st_ctim, after.st_ctim);
}

bool isFolder(int parentFd, const std::string& name) {
    struct stat status {};
    return ::fstatat(parentFd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISDIR(status.st_mode);
}

void copyExtendedAttributes(int input, int output) {
    const ssize_t listSize = ::flistxattr(input, nullptr, 0);
    if (listSize <= 0)
        return;
    std::vector<char> names(static_cast<std::size_t>(listSize));
    const ssize_t filled = ::flistxattr(input, names.data(), names.size());
    if (filled <= 0)
        return;
    std::vector<char> value;
    for (std::size_t at = 0; at < static_cast<std::size_t>(filled);) {
        const char* name = names.data() + at;
        at += std::char_traits<char>::length(name) + 1;
        const ssize_t valueSize = ::fgetxattr(input, name, nullptr, 0);
        if (valueSize < 0)
            continue;
        value.resize(static_cast<std::size_t>(valueSize));
        const ssize_t read = ::fgetxattr(input, name, value.data(), value.size());
        if (read >= 0)
            ::fsetxattr(output, name, value.data(), static_cast<std::size_t>(read), 0);
    }
}

} // namespace

FileCopier::FileCopier(std::int64_t bandwidthLimit, std::stop_token stop, FolderClearer clearFolder)
    : rate_(Throttle::byteRate(bandwidthLimit)), stop_(std::move(stop)),
      clearFolder_(std::move(clearFolder)), random_(std::random_device()()),
      isRoot_(::geteuid() == 0) {}

bool FileCopier::copyIfNeeded(FolderCursor& source, const std::string& sourceFile,
                              FolderCursor& destination, const std::string& destinationFile,
                              std::chrono::nanoseconds granularity) {
    const auto sourceStamp = source.stampOf(sourceFile, MissingFolders::leave);
    if (!sourceStamp)
        throw FileSystemError(ENOENT, source.pathOf(sourceFile));
    const auto destinationStamp = destination.stampOf(destinationFile, MissingFolders::create);
    if (destinationStamp && !needsCopy(*sourceStamp, *destinationStamp, granularity))
        return false;
    copyFile(source, sourceFile, destination, destinationFile,
             destinationStamp ? Target::unknown : Target::free);
    return true;
}

void FileCopier::copyFile(FolderCursor& source, const std::string& sourceFile,
                          FolderCursor& destination, const std::string& destinationFile,
                          Target target) {
    const int sourceFolder = source.parentOf(sourceFile, MissingFolders::leave);
    if (sourceFolder == FolderCursor::kMissing)
        throw FileSystemError(ENOENT, source.pathOf(sourceFile));
    const int destinationFolder = destination.parentOf(destinationFile, MissingFolders::create);
    const std::string destinationName(FolderCursor::nameOf(destinationFile));
    const FileLocation destinationPath(destination.rootPath(), destinationFile);
    std::function<void()> clearFolder;
    if (clearFolder_)
        clearFolder = [&] {
            clearFolder_(destinationFolder, destinationName, destinationFile);
        };
    else if (target != Target::free && isFolder(destinationFolder, destinationName))
        throw SyncError::folderInTheWay(destinationPath.path()); // spares a copy never placed
    copy(sourceFolder, std::string(FolderCursor::nameOf(sourceFile)), destinationFolder,
         destinationName, FileLocation(source.rootPath(), sourceFile), destinationPath, clearFolder,
         target);
}

void FileCopier::copy(int sourceFolder, const std::string& sourceName, int destinationFolder,
                      const std::string& destinationName, const FileLocation& sourcePath,
                      const FileLocation& destinationPath, const std::function<void()>& clearFolder,
                      Target target) {
    // A file being written mostly settles at once (a save that ended during
    // the first attempt); one that keeps changing is left for the next run.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (copyUnchanged(sourceFolder, sourceName, destinationFolder, destinationName, sourcePath,
                          destinationPath, clearFolder, target))
            return;
    }
    throw SyncError::changedWhileCopying(sourcePath.path());
}

// One attempt: false, with the destination untouched, when the source was not
// the same file from the first byte to the last.
bool FileCopier::copyUnchanged(int sourceFolder, const std::string& sourceName,
                               int destinationFolder, const std::string& destinationName,
                               const FileLocation& sourcePath, const FileLocation& destinationPath,
                               const std::function<void()>& clearFolder, Target target) {
    FileDescriptor input(
        ::openat(sourceFolder, sourceName.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!input.isOpen())
        failToOpen(sourcePath, Side::source);
    struct stat before {};
    if (::fstat(input.get(), &before) != 0)
        throw FileSystemError(errno, sourcePath.path());
    if (!S_ISREG(before.st_mode))
        throw SyncError::cannotRead(sourcePath.path());

    // Made with the source's permission bits, which then mostly need no
    // change of their own.
    const auto file = createTemporary(destinationFolder, before.st_mode & 0777, target);
    if (!file)
        failToOpen(destinationPath, Side::destination);
    const int output = file->fd();
    const std::int64_t copied =
        rate_ ? copyThrottled(input.get(), output, sourcePath, destinationPath)
              : copyContent(input.get(), output, before.st_size, sourcePath, destinationPath);
    copyMetadata(input.get(), output, before);
    struct stat after {};
    if (::fstat(input.get(), &after) != 0 || !sameStamp(before, after) || copied != before.st_size)
        return false;
    try {
        file->place(destinationName, destinationPath, clearFolder);
    } catch (const FileSystemError&) {
        if (!file->isUnnamed() || !unnamedWorks_)
            throw;
        // A file system that makes files without a name but will not name
        // them: named files from now on, this one first.
        unnamedWorks_ = false;
        return copyUnchanged(sourceFolder, sourceName, destinationFolder, destinationName,
                             sourcePath, destinationPath, clearFolder, target);
    }
    return true;
}

std::unique_ptr<TemporaryFile> FileCopier::createTemporary(int folder, mode_t mode, Target target) {
    if (target == Target::free && unnamedWorks_) {
        if (auto file = TemporaryFile::createUnnamed(folder, mode, random_))
            return file;
        unnamedWorks_ = false; // not on this file system: named files from now on
    }
    return TemporaryFile::createNamed(folder, mode, random_);
}

void FileCopier::failToOpen(const FileLocation& path, Side side) const {
    // A throttled copy moves the bytes itself and says which side it could
    // not open; a whole-file copy gives the system's reason.
    if (rate_)
        throw side == Side::source ? SyncError::cannotRead(path.path())
                                   : SyncError::cannotWrite(path.path());
    throw FileSystemError(errno, path.path());
}

std::vector<char>& FileCopier::buffer(std::size_t size) {
    if (buffer_.size() < size)
        buffer_.resize(size);
    return buffer_;
}

std::int64_t FileCopier::copyContent(int input, int output, std::int64_t size,
                                     const FileLocation& sourcePath,
                                     const FileLocation& destinationPath) {
    // Each method stops at the size read before the copy, sparing a call
    // that would only find the end; a file that grew meanwhile shows in its
    // size afterwards.
    std::int64_t total = 0;
    const auto move = [&](auto step, bool (*unsupported)(int)) {
        while (total < size) {
            const auto wanted = static_cast<std::size_t>(std::min(size - total, kWholeFileChunk));
            const ssize_t moved = step(wanted);
            if (moved > 0)
                total += moved;
            else if (moved == 0)
                return true;
            else if (errno == EINTR)
                continue;
            else if (unsupported(errno))
                return false;
            else
                throwCopyError(errno, sourcePath, destinationPath);
        }
        return true;
    };
    if (size > kSmallFile) {
        if (move(
                [&](std::size_t wanted) {
                    return ::copy_file_range(input, nullptr, output, nullptr, wanted, 0);
                },
                copyRangeUnsupported))
            return total;
        if (move([&](std::size_t wanted) { return ::sendfile(output, input, nullptr, wanted); },
                 sendfileUnsupported))
            return total;
    }
    auto& memory = buffer(static_cast<std::size_t>(std::min<std::int64_t>(
        std::max<std::int64_t>(size, 1), static_cast<std::int64_t>(kFallbackChunk))));
    move(
        [&](std::size_t wanted) {
            const ssize_t read = ::read(input, memory.data(), std::min(wanted, memory.size()));
            if (read > 0 && !writeAll(output, memory.data(), static_cast<std::size_t>(read)))
                throw FileSystemError(errno, destinationPath.path());
            return read;
        },
        [](int) { return false; });
    return total;
}

std::int64_t FileCopier::copyThrottled(int input, int output, const FileLocation& sourcePath,
                                       const FileLocation& destinationPath) {
    Throttle throttle(*rate_, stop_);
    auto& memory = buffer(kThrottledChunk);
    std::int64_t total = 0;
    for (;;) {
        if (stop_.stop_requested())
            throw SyncError::cancelled();
        const ssize_t read = ::read(input, memory.data(), kThrottledChunk);
        if (read < 0 && errno == EINTR)
            continue;
        if (read < 0)
            throw SyncError::cannotRead(sourcePath.path());
        if (read == 0)
            return total;
        if (!writeAll(output, memory.data(), static_cast<std::size_t>(read)))
            throw SyncError::cannotWrite(destinationPath.path());
        total += read;
        throttle.pace(read);
    }
}

void FileCopier::copyMetadata(int input, int output, const struct stat& status) const {
    // A complete copy never fails over its metadata: some file systems refuse
    // owners or mode bits, as they do for `cp -a`. What the new file already
    // has right is left alone: a look costs far less than a change.
    struct stat created {};
    const bool known = ::fstat(output, &created) == 0;
    if (isRoot_ && (!known || created.st_uid != status.st_uid || created.st_gid != status.st_gid))
        (void)::fchown(output, status.st_uid, status.st_gid);
    copyExtendedAttributes(input, output);
    // A change of owner clears the set-ID bits, which the file was not made
    // with: those always take an fchmod.
    if (!known || (created.st_mode & 07777) != (status.st_mode & 07777))
        (void)::fchmod(output, status.st_mode & 07777);
    const struct timespec times[2] = {status.st_atim, status.st_mtim};
    (void)::futimens(output, times);
}

} // namespace quillfen
