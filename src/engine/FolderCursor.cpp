#include "engine/FolderCursor.h"

#include "engine/FileSystemError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace quillfen {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

} // namespace

FolderCursor::FolderCursor(FileDescriptor root, std::filesystem::path rootPath)
    : root_(std::move(root)), rootPath_(std::move(rootPath)) {}

FolderCursor FolderCursor::clone() const {
    FileDescriptor root(::fcntl(root_.get(), F_DUPFD_CLOEXEC, 0));
    if (!root.isOpen())
        throw FileSystemError(errno, rootPath_);
    return FolderCursor(std::move(root), rootPath_);
}

std::filesystem::path FolderCursor::pathOf(std::string_view relativePath) const {
    return relativePath.empty() ? rootPath_ : rootPath_ / relativePath;
}

std::string_view FolderCursor::nameOf(std::string_view relativePath) {
    const auto slash = relativePath.rfind('/');
    return slash == std::string_view::npos ? relativePath : relativePath.substr(slash + 1);
}

int FolderCursor::parentOf(std::string_view relativePath, MissingFolders missing) {
    const auto slash = relativePath.rfind('/');
    const std::string_view folder =
        slash == std::string_view::npos ? std::string_view() : relativePath.substr(0, slash);
    if (folder == current_ && hasCurrent_)
        return deepest(); // files come folder by folder: mostly the same one
    if (missing == MissingFolders::leave && !missing_.empty() && folder.starts_with(missing_) &&
        (folder.size() == missing_.size() || folder[missing_.size()] == '/'))
        return kMissing; // its files come one after another: look once
    missing_.clear();
    hasCurrent_ = false;

    // Keep the handles of the leading components this folder shares with the
    // previous one.
    std::size_t depth = 0;
    std::size_t position = 0;
    while (depth < chain_.size() && position < folder.size()) {
        const auto end = std::min(folder.find('/', position), folder.size());
        if (folder.substr(position, end - position) != chain_[depth].first)
            break;
        ++depth;
        position = end + 1;
    }
    if (position < folder.size() || depth < chain_.size())
        chain_.resize(depth);

    while (position < folder.size()) {
        const auto end = std::min(folder.find('/', position), folder.size());
        std::string name(folder.substr(position, end - position));
        const int fd = openChild(deepest(), name, missing, folder.substr(0, end));
        if (fd == kMissing) {
            missing_ = folder.substr(0, end);
            return kMissing;
        }
        chain_.emplace_back(std::move(name), FileDescriptor(fd));
        limitOpenHandles();
        position = end + 1;
    }
    const int fd = deepest();
    current_.assign(folder);
    hasCurrent_ = true;
    return fd;
}

int FolderCursor::deepest() {
    if (chain_.empty())
        return root_.get();
    if (chain_.back().second.isOpen())
        return chain_.back().second.get();
    // Its handle was closed to save descriptors: walk down again, from the
    // nearest folder still open, keeping only the last handle.
    std::size_t first = chain_.size() - 1;
    while (first > 0 && !chain_[first - 1].second.isOpen())
        --first;
    int parent = first == 0 ? root_.get() : chain_[first - 1].second.get();
    FileDescriptor walk;
    for (std::size_t index = first; index < chain_.size(); ++index) {
        FileDescriptor next(::openat(parent, chain_[index].first.c_str(), kFolderFlags));
        if (!next.isOpen()) {
            const int error = errno;
            hasCurrent_ = false;
            std::string prefix;
            for (std::size_t component = 0; component <= index; ++component)
                prefix += (component == 0 ? "" : "/") + chain_[component].first;
            chain_.resize(index);
            throw FileSystemError(error, pathOf(prefix));
        }
        walk = std::move(next);
        parent = walk.get();
    }
    chain_.back().second = std::move(walk);
    limitOpenHandles();
    return chain_.back().second.get();
}

void FolderCursor::limitOpenHandles() {
    std::size_t open = 0;
    for (const auto& entry : chain_)
        open += entry.second.isOpen() ? 1 : 0;
    for (auto& entry : chain_) {
        if (open <= kMaxOpenFolders)
            break;
        if (entry.second.isOpen()) {
            entry.second.reset();
            --open;
        }
    }
}

std::optional<FileStamp> FolderCursor::stampOf(std::string_view relativePath,
                                               MissingFolders missing) {
    const int folder = parentOf(relativePath, missing);
    if (folder == kMissing)
        return std::nullopt;
    struct stat status {};
    if (::fstatat(folder, std::string(nameOf(relativePath)).c_str(), &status,
                  AT_SYMLINK_NOFOLLOW) == 0)
        return FileStamp::of(status);
    if (errno == ENOENT)
        return std::nullopt;
    throw FileSystemError(errno, pathOf(relativePath));
}

int FolderCursor::openChild(int parentFd, const std::string& name, MissingFolders missing,
                            std::string_view prefix) {
    const bool create = missing == MissingFolders::create;
    int fd = ::openat(parentFd, name.c_str(), kFolderFlags);
    if (fd < 0 && errno == ENOENT && create) {
        if (::mkdirat(parentFd, name.c_str(), 0777) != 0 && errno != EEXIST)
            throw FileSystemError(errno, pathOf(prefix));
        fd = ::openat(parentFd, name.c_str(), kFolderFlags);
    }
    if (fd >= 0)
        return fd;
    int error = errno;
    struct stat status {};
    if (error == ENOTDIR && ::fstatat(parentFd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISLNK(status.st_mode))
        error = ELOOP; // say that a link is in the way, not a file
    if (!create && (error == ENOENT || error == ENOTDIR))
        return kMissing;
    throw FileSystemError(error, pathOf(prefix));
}

} // namespace quillfen
