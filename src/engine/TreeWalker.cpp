#include "engine/TreeWalker.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>

namespace quillfen {
namespace {

constexpr std::size_t kListingBufferSize = 64 * 1024;
constexpr int kFolderOpenFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

TreeWalker::Kind kindFromType(unsigned char type) {
    switch (type) {
    case DT_REG:
        return TreeWalker::Kind::regularFile;
    case DT_DIR:
        return TreeWalker::Kind::directory;
    case DT_LNK:
        return TreeWalker::Kind::symbolicLink;
    default:
        return TreeWalker::Kind::other;
    }
}

TreeWalker::Kind kindFromMode(mode_t mode) {
    if (S_ISREG(mode))
        return TreeWalker::Kind::regularFile;
    if (S_ISDIR(mode))
        return TreeWalker::Kind::directory;
    if (S_ISLNK(mode))
        return TreeWalker::Kind::symbolicLink;
    return TreeWalker::Kind::other;
}

bool isDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

} // namespace

TreeWalker::TreeWalker(Visitor& visitor, Stat stat) : visitor_(visitor), stat_(stat) {}

bool TreeWalker::walk(const std::filesystem::path& root) {
    FileDescriptor fd(::open(root.c_str(), kFolderOpenFlags));
    return fd.isOpen() && walk(std::move(fd));
}

bool TreeWalker::walk(FileDescriptor root) {
    stack_.clear();
    path_.clear();
    if (const int error = enter(std::move(root), {}); error != 0) {
        errno = error;
        return false;
    }
    while (!stack_.empty()) {
        Folder& folder = stack_.back();
        if (folder.next == folder.entries.size()) {
            stack_.pop_back();
        } else if (!reportNext(folder)) {
            break;
        }
    }
    stack_.clear();
    return true;
}

// Lists the folder and pushes it on the stack; the error number when it
// cannot be listed, 0 otherwise.
int TreeWalker::enter(FileDescriptor fd, std::string name) {
    Folder folder;
    folder.name = std::move(name);
    folder.pathLength = path_.size();
    struct stat status;
    if (::fstat(fd.get(), &status) != 0)
        return errno;
    folder.device = status.st_dev;
    folder.inode = status.st_ino;
    folder.fd = std::move(fd);
    if (!readEntries(folder))
        return errno;
    stack_.push_back(std::move(folder));
    if (stack_.size() > kMaxOpenFolders)
        stack_[stack_.size() - kMaxOpenFolders].fd.reset();
    return 0;
}

bool TreeWalker::readEntries(Folder& folder) {
    buffer_.resize(kListingBufferSize);
    for (;;) {
        const ssize_t length = ::getdents64(folder.fd.get(), buffer_.data(), buffer_.size());
        if (length < 0)
            return false;
        if (length == 0)
            return true;
        for (std::size_t offset = 0; offset < static_cast<std::size_t>(length);) {
            const auto* entry = reinterpret_cast<const struct dirent64*>(buffer_.data() + offset);
            offset += entry->d_reclen;
            if (isDotOrDotDot(entry->d_name))
                continue;
            folder.entries.push_back({folder.names.size(), entry->d_type});
            folder.names.append(entry->d_name);
            folder.names.push_back('\0');
        }
    }
}

// Reports the folder's next entry and, for a folder the visitor lets in,
// enters it. False when the visitor stopped the walk.
bool TreeWalker::reportNext(Folder& folder) {
    const Entry entry = folder.entries[folder.next++];
    const char* name = folder.names.data() + entry.nameOffset;
    path_.resize(folder.pathLength);
    if (!path_.empty())
        path_ += '/';
    const std::size_t nameOffset = path_.size();
    path_ += name;

    Kind kind = kindFromType(entry.type);
    struct stat status;
    const struct stat* attributes = nullptr;
    if (entry.type == DT_UNKNOWN || (stat_ == Stat::everyFile && entry.type == DT_REG)) {
        if (!folder.fd.isOpen() && !reopen(stack_.size() - 1))
            return true;
        if (::fstatat(folder.fd.get(), name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT)
                return true; // vanished since the listing: nothing to report
            return visitor_.attributesUnreadable(path_, errno) != Step::stop;
        }
        kind = kindFromMode(status.st_mode);
        if (kind == Kind::regularFile)
            attributes = &status;
    }

    const Step step = visitor_.visit(Item{path_, nameOffset, kind, attributes, stack_.size() - 1});
    if (step == Step::stop)
        return false;
    if (kind == Kind::directory && step == Step::proceed)
        openChild(folder, name);
    return true;
}

void TreeWalker::openChild(Folder& parent, const char* name) {
    if (!parent.fd.isOpen() && !reopen(stack_.size() - 1))
        return;
    FileDescriptor fd(::openat(parent.fd.get(), name, kFolderOpenFlags));
    const int error = fd.isOpen() ? enter(std::move(fd), name) : errno;
    if (error != 0 && error != ENOENT) // a folder that vanished is not unreadable
        visitor_.folderUnreadable(path_, error);
}

// Opens the folder at `index` again, one component at a time from the nearest
// ancestor that is still open. A folder that is gone or was replaced while the
// walk was below it is reported unreadable and its remaining entries dropped.
bool TreeWalker::reopen(std::size_t index) {
    std::size_t open = index;
    while (!stack_[open].fd.isOpen())
        --open; // the root stays open, so this ends
    FileDescriptor fd;
    int at = stack_[open].fd.get();
    for (std::size_t i = open + 1; i <= index; ++i) {
        fd = FileDescriptor(::openat(at, stack_[i].name.c_str(), kFolderOpenFlags));
        if (!fd.isOpen())
            break;
        at = fd.get();
    }
    struct stat status;
    if (fd.isOpen() && ::fstat(fd.get(), &status) == 0) {
        if (status.st_dev == stack_[index].device && status.st_ino == stack_[index].inode) {
            stack_[index].fd = std::move(fd);
            return true;
        }
        errno = ESTALE;
    }
    const int error = errno;
    path_.resize(stack_[index].pathLength);
    visitor_.folderUnreadable(path_, error);
    stack_.resize(index);
    return false;
}

} // namespace quillfen
