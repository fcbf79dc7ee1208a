#include "engine/FileCopier.h"

#include "engine/FileDescriptor.h"
#include "engine/FileSystemError.h"
#include "engine/SyncError.h"
#include "engine/TemporaryFile.h"
#include "engine/Throttle.h"

#include <cerrno>
#include <fcntl.h>
#include <string_view>
#include <sys/sendfile.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace quillfen {
namespace {

constexpr std::int64_t kWholeFileChunk = std::int64_t(1) << 30;
constexpr std::size_t kThrottledChunk = 262'144;
constexpr std::size_t kFallbackChunk = 262'144;

bool errorBlamesDestination(int errorNumber) {
    return errorNumber == ENOSPC || errorNumber == EDQUOT || errorNumber == EFBIG ||
           errorNumber == EROFS || errorNumber == EPERM;
}

[[noreturn]] void throwCopyError(int errorNumber, const std::filesystem::path& sourcePath,
                                 const std::filesystem::path& destinationPath) {
    throw FileSystemError(errorNumber,
                          errorBlamesDestination(errorNumber) ? destinationPath : sourcePath);
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

bool sameStamp(const struct stat& before, const struct stat& after) {
    return before.st_size == after.st_size && before.st_mtim.tv_sec == after.st_mtim.tv_sec &&
           before.st_mtim.tv_nsec == after.st_mtim.tv_nsec;
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

FileCopier::FileCopier(std::int64_t bandwidthLimit, std::stop_token stop)
    : rate_(Throttle::byteRate(bandwidthLimit)), stop_(std::move(stop)),
      random_(std::random_device()()), isRoot_(::geteuid() == 0) {}

std::string FileCopier::temporaryName() {
    static constexpr std::string_view kAlphabet = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = ".quillfen-XXXXXXXX.tmp";
    std::uint64_t bits = random_();
    for (std::size_t at = 10; at < 18; ++at, bits /= kAlphabet.size())
        name[at] = kAlphabet[bits % kAlphabet.size()];
    return name;
}

bool FileCopier::copyIfNeeded(FolderCursor& source, const std::string& sourceFile,
                              FolderCursor& destination, const std::string& destinationFile,
                              std::chrono::nanoseconds granularity) {
    const auto sourceStamp = source.stampOf(sourceFile, false);
    if (!sourceStamp)
        throw FileSystemError(ENOENT, source.pathOf(sourceFile));
    const auto destinationStamp = destination.stampOf(destinationFile, true);
    if (destinationStamp && !needsCopy(*sourceStamp, *destinationStamp, granularity))
        return false;
    copyFile(source, sourceFile, destination, destinationFile);
    return true;
}

void FileCopier::copyFile(FolderCursor& source, const std::string& sourceFile,
                          FolderCursor& destination, const std::string& destinationFile) {
    const int sourceFolder = source.parentOf(sourceFile, false);
    if (sourceFolder == FolderCursor::kMissing)
        throw FileSystemError(ENOENT, source.pathOf(sourceFile));
    copy(sourceFolder, std::string(FolderCursor::nameOf(sourceFile)),
         destination.parentOf(destinationFile, true),
         std::string(FolderCursor::nameOf(destinationFile)), source.pathOf(sourceFile),
         destination.pathOf(destinationFile));
}

void FileCopier::copy(int sourceFolder, const std::string& sourceName, int destinationFolder,
                      const std::string& destinationName, const std::filesystem::path& sourcePath,
                      const std::filesystem::path& destinationPath) {
    FileDescriptor input(
        ::openat(sourceFolder, sourceName.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!input.isOpen())
        failToOpen(sourcePath, true);
    struct stat before {};
    if (::fstat(input.get(), &before) != 0)
        throw FileSystemError(errno, sourcePath);
    if (!S_ISREG(before.st_mode))
        throw SyncError::cannotRead(sourcePath);

    std::string temporary;
    int output = -1;
    while (output < 0) {
        temporary = temporaryName();
        output = ::openat(destinationFolder, temporary.c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (output < 0 && errno != EEXIST)
            failToOpen(destinationPath, false);
    }
    TemporaryFile file(destinationFolder, temporary, output);
    const std::int64_t copied =
        rate_ ? copyThrottled(input.get(), output, sourcePath, destinationPath)
              : copyContent(input.get(), output, before.st_size, sourcePath, destinationPath);
    copyMetadata(input.get(), output, before);
    struct stat after {};
    const bool changed =
        ::fstat(input.get(), &after) != 0 || !sameStamp(before, after) || copied != before.st_size;
    file.place(destinationName, destinationPath);
    if (changed)
        throw SyncError::changedWhileCopying(sourcePath);
}

void FileCopier::failToOpen(const std::filesystem::path& path, bool forReading) const {
    // A throttled copy moves the bytes itself and says which side it could
    // not open; a whole-file copy gives the system's reason.
    if (rate_)
        throw forReading ? SyncError::cannotRead(path) : SyncError::cannotWrite(path);
    throw FileSystemError(errno, path);
}

std::int64_t FileCopier::copyContent(int input, int output, std::int64_t size,
                                     const std::filesystem::path& sourcePath,
                                     const std::filesystem::path& destinationPath) {
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
    if (move(
            [&](std::size_t wanted) {
                return ::copy_file_range(input, nullptr, output, nullptr, wanted, 0);
            },
            copyRangeUnsupported))
        return total;
    if (move([&](std::size_t wanted) { return ::sendfile(output, input, nullptr, wanted); },
             sendfileUnsupported))
        return total;
    std::vector<char> buffer(kFallbackChunk);
    move(
        [&](std::size_t wanted) {
            const ssize_t read = ::read(input, buffer.data(), std::min(wanted, buffer.size()));
            if (read > 0 && !writeAll(output, buffer.data(), static_cast<std::size_t>(read)))
                throw FileSystemError(errno, destinationPath);
            return read;
        },
        [](int) { return false; });
    return total;
}

std::int64_t FileCopier::copyThrottled(int input, int output,
                                       const std::filesystem::path& sourcePath,
                                       const std::filesystem::path& destinationPath) {
    Throttle throttle(*rate_, stop_);
    std::vector<char> buffer(kThrottledChunk);
    std::int64_t total = 0;
    for (;;) {
        if (stop_.stop_requested())
            throw SyncError::cancelled();
        const ssize_t read = ::read(input, buffer.data(), buffer.size());
        if (read < 0 && errno == EINTR)
            continue;
        if (read < 0)
            throw SyncError::cannotRead(sourcePath);
        if (read == 0)
            return total;
        if (!writeAll(output, buffer.data(), static_cast<std::size_t>(read)))
            throw SyncError::cannotWrite(destinationPath);
        total += read;
        throttle.pace(read);
    }
}

void FileCopier::copyMetadata(int input, int output, const struct stat& status) const {
    // A complete copy never fails over its metadata: some file systems refuse
    // owners or mode bits, as they do for `cp -a`.
    if (isRoot_)
        (void)::fchown(output, status.st_uid, status.st_gid);
    copyExtendedAttributes(input, output);
    (void)::fchmod(output, status.st_mode & 07777);
    const struct timespec times[2] = {status.st_atim, status.st_mtim};
    (void)::futimens(output, times);
}

} // namespace quillfen
