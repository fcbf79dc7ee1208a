#include "services/InotifyTree.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <iostream>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace quillfen {
namespace {

// Changes only: reads raise IN_ACCESS / IN_OPEN / IN_CLOSE_NOWRITE, and a run
// reads the whole source, so a wider mask would make every run trigger the next.
constexpr std::uint32_t kChangeMask = IN_CREATE | IN_DELETE | IN_MODIFY | IN_CLOSE_WRITE |
                                      IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB | IN_DELETE_SELF |
                                      IN_MOVE_SELF;
constexpr std::uint32_t kFolderMask = kChangeMask | IN_ONLYDIR | IN_DONT_FOLLOW;

std::string join(const std::string& folder, const char* name) {
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + '/' + name;
}

bool isBelowOrSame(const std::string& path, const std::string& folder) {
    if (folder.empty())
        return false;
    if (path.compare(0, folder.size(), folder) != 0)
        return false;
    return path.size() == folder.size() || path[folder.size()] == '/' || folder.back() == '/';
}

bool isFolderEntry(int dirFd, const dirent& entry) {
    if (entry.d_type != DT_UNKNOWN)
        return entry.d_type == DT_DIR;
    struct stat status {};
    return ::fstatat(dirFd, entry.d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISDIR(status.st_mode);
}

bool isDotOrDotDot(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

} // namespace

InotifyTree::~InotifyTree() {
    close();
}

bool InotifyTree::open(const std::filesystem::path& root, const std::filesystem::path& ignored) {
    close();
    std::error_code error;
    auto canonicalRoot = std::filesystem::canonical(root, error);
    if (error)
        return false;
    root_ = canonicalRoot.string();
    ignored_.clear();
    if (!ignored.empty()) {
        auto canonicalIgnored = std::filesystem::weakly_canonical(ignored, error);
        ignored_ = error ? ignored.lexically_normal().string() : canonicalIgnored.string();
    }
    // A source inside the application's own folder would report nothing but
    // the application's own writes: better not to claim to watch it at all.
    if (isIgnored(root_))
        return false;
    fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) {
        std::cerr << "Quillfen: cannot watch " << root_ << " for changes: " << std::strerror(errno)
                  << '\n';
        return false;
    }
    limitReported_ = false;
    watchFolder(root_);
    if (folders_.empty()) {
        close();
        return false;
    }
    rootWd_ = folders_.begin()->first;
    return true;
}

void InotifyTree::close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    rootWd_ = -1;
    folders_.clear();
    pending_.clear();
}

bool InotifyTree::isRootWatched() const {
    return fd_ >= 0 && rootWd_ >= 0;
}

bool InotifyTree::readEvents() {
    alignas(inotify_event) char buffer[16 * 1024];
    bool changed = false;
    while (fd_ >= 0) {
        ssize_t length = ::read(fd_, buffer, sizeof buffer);
        if (length < 0 && errno == EINTR)
            continue;
        if (length <= 0)
            break;
        for (ssize_t offset = 0; offset < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            changed |= handleEvent(event->wd, event->mask, event->len > 0 ? event->name : "");
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    return changed;
}

bool InotifyTree::handleEvent(int wd, std::uint32_t mask, const char* name) {
    if (mask & IN_Q_OVERFLOW) {
        // Lost events may include new folders: walk again to watch them.
        pending_.push_back(root_);
        return true;
    }
    auto found = folders_.find(wd);
    if (found == folders_.end())
        return false;
    if (mask & IN_IGNORED) {
        if (wd == rootWd_)
            rootWd_ = -1;
        folders_.erase(found);
        return false;
    }
    std::string path = *name ? join(found->second, name) : found->second;
    if (isIgnored(path))
        return false;
    if (mask & IN_ISDIR) {
        if (mask & (IN_CREATE | IN_MOVED_TO))
            watchFolder(path);
        else if (mask & IN_MOVED_FROM)
            forgetFolder(path);
    }
    return true;
}

void InotifyTree::watchFolder(const std::string& path) {
    if (isIgnored(path))
        return;
    int wd = ::inotify_add_watch(fd_, path.c_str(), kFolderMask);
    if (wd < 0) {
        if (errno == ENOSPC && !limitReported_) {
            limitReported_ = true;
            std::cerr << "Quillfen: the system's limit of inotify watches is reached; changes in "
                         "some folders under "
                      << root_
                      << " will go unnoticed (raise fs.inotify.max_user_watches to watch them all)"
                      << '\n';
        }
        return;
    }
    // An existing watch (a folder moved within the tree) gets its new path.
    folders_[wd] = path;
    pending_.push_back(path);
}

bool InotifyTree::walkSome(std::chrono::milliseconds budget) {
    auto start = std::chrono::steady_clock::now();
    while (!pending_.empty()) {
        std::string folder = std::move(pending_.front());
        pending_.pop_front();
        walkFolder(folder);
        if (std::chrono::steady_clock::now() - start >= budget)
            break;
    }
    return !pending_.empty();
}

void InotifyTree::walkFolder(const std::string& path) {
    int dirFd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dirFd < 0)
        return;
    DIR* dir = ::fdopendir(dirFd);
    if (dir == nullptr) {
        ::close(dirFd);
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        if (!isDotOrDotDot(entry->d_name) && isFolderEntry(dirFd, *entry))
            watchFolder(join(path, entry->d_name));
    }
    ::closedir(dir);
}

void InotifyTree::forgetFolder(const std::string& path) {
    // A folder moved out of the tree keeps its watches; drop them so changes
    // outside the tree are not reported. A move within the tree re-adds them
    // from the IN_MOVED_TO that follows.
    for (auto it = folders_.begin(); it != folders_.end();) {
        if (it->first != rootWd_ && isBelowOrSame(it->second, path)) {
            ::inotify_rm_watch(fd_, it->first);
            it = folders_.erase(it);
        } else {
            ++it;
        }
    }
}

bool InotifyTree::isIgnored(const std::string& path) const {
    return isBelowOrSame(path, ignored_);
}

} // namespace quillfen
