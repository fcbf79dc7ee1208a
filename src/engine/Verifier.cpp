#include "engine/Verifier.h"

#include "engine/FileDescriptor.h"
#include "engine/FileSystemError.h"
#include "engine/ListingPaths.h"

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <openssl/evp.h>
#include <unistd.h>
#include <vector>

namespace quillfen {
namespace {

constexpr std::size_t kDigestChunk = 65'536;

} // namespace

Verifier::Verifier(FolderCursor& source, FolderCursor& destination, std::stop_token stop,
                   const std::function<void(const std::string&)>& onLog)
    : source_(source), destination_(destination), stop_(std::move(stop)), onLog_(onLog) {}

Sha256Digest Verifier::digestOf(int fd) {
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(),
                                                                          &EVP_MD_CTX_free);
    EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr);
    std::vector<unsigned char> buffer(kDigestChunk, 0);
    while (fd >= 0) {
        const ssize_t read = ::read(fd, buffer.data(), buffer.size());
        if (read < 0 && errno == EINTR)
            continue;
        if (read <= 0)
            break;
        EVP_DigestUpdate(context.get(), buffer.data(), static_cast<std::size_t>(read));
    }
    Sha256Digest digest{};
    EVP_DigestFinal_ex(context.get(), digest.data(), nullptr);
    return digest;
}

Sha256Digest Verifier::digestAt(FolderCursor& tree, const std::string& relativePath, Read read) {
    // A file that cannot be opened hashes as empty input, so a missing copy
    // of a non-empty file counts as a mismatch.
    FileDescriptor file;
    try {
        const int folder = tree.parentOf(relativePath, MissingFolders::leave);
        if (folder != FolderCursor::kMissing)
            file = FileDescriptor(::openat(folder,
                                           std::string(FolderCursor::nameOf(relativePath)).c_str(),
                                           O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    } catch (const FileSystemError&) {
    }
    if (file.isOpen() && read == Read::fromDisk)
        ::posix_fadvise(file.get(), 0, 0, POSIX_FADV_DONTNEED);
    return digestOf(file.get());
}

std::int64_t Verifier::verify(const TreeListing& listing,
                              const std::vector<TreeListing::Index>& copied) {
    // One flush of the destination's file system writes every copy out, far
    // sooner than a flush per file; their pages are then clean, and dropping
    // them makes each digest read what the disk holds.
    ::syncfs(destination_.rootFd());
    std::int64_t failures = 0;
    ListingPaths paths(listing);
    for (const auto file : copied) {
        if (stop_.stop_requested())
            break;
        const auto& path = paths.of(file);
        if (digestAt(source_, path, Read::cached) != digestAt(destination_, path, Read::fromDisk)) {
            ++failures;
            if (onLog_)
                onLog_("Verify failed: " + path);
        }
    }
    return failures;
}

} // namespace quillfen
