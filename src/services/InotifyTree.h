#pragma once

#include <chrono>
#include <deque>
#include <filesystem>
#include <string>
#include <unordered_map>

namespace quillfen {

// inotify watches on every folder of one tree. inotify is not recursive, so
// every folder gets its own watch, and folders that appear later are added
// (and walked, since `mkdir -p` creates children before their parent's watch
// exists). Walking is done in slices so a caller on an event loop can keep
// its window responsive while a huge tree is being covered.
class InotifyTree {
public:
    InotifyTree() = default;
    ~InotifyTree();
    InotifyTree(const InotifyTree&) = delete;
    InotifyTree& operator=(const InotifyTree&) = delete;

    // Watches `root` and queues its subfolders for walkSome(). Nothing at or
    // below `ignored` is watched. False (and nothing open) when the root
    // cannot be watched.
    bool open(const std::filesystem::path& root, const std::filesystem::path& ignored);
    void close();

    // The inotify descriptor to wait on for readability; -1 when closed.
    int fd() const { return fd_; }
    bool isRootWatched() const;

    // Drains the descriptor; true when at least one change outside the
    // ignored folder (or an overflow of the kernel's queue) was seen.
    bool readEvents();

    // Walks queued folders, adding watches, for about `budget`; true while
    // folders remain queued.
    bool walkSome(std::chrono::milliseconds budget);
    bool hasPendingWalk() const { return !pending_.empty(); }

private:
    bool handleEvent(int wd, std::uint32_t mask, const char* name);
    void watchFolder(const std::string& path);
    void walkFolder(const std::string& path);
    void forgetFolder(const std::string& path);
    bool isIgnored(const std::string& path) const;

    int fd_ = -1;
    int rootWd_ = -1;
    std::string root_;
    std::string ignored_;
    std::unordered_map<int, std::string> folders_;
    std::deque<std::string> pending_;
    bool limitReported_ = false;
};

} // namespace quillfen
