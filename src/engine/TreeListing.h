#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen {

// The folders and regular files of a scanned tree, held compactly so that a
// tree of millions of files fits in little memory: each name is kept once,
// with the index of the folder that holds it, and no path is kept as text.
// Files keep the order they were added in; a folder is added before what it
// holds, so a parent's index is always below its child's.
class TreeListing {
public:
    using Index = std::uint32_t;
    static constexpr Index kRoot = 0; // the folder that was scanned
    static constexpr Index kNone = UINT32_MAX;
    // Files and folders together; the mirror plan's index keeps a kind bit.
    static constexpr Index kMaxItems = (Index(1) << 31) - 1;

    TreeListing();
    TreeListing(TreeListing&&) noexcept;
    TreeListing& operator=(TreeListing&&) noexcept;
    ~TreeListing();

    // Throw std::length_error past kMaxItems items or 4 GiB of names.
    Index addFolder(Index parent, std::string_view name);
    void addFile(Index folder, std::string_view name);

    Index fileCount() const { return static_cast<Index>(files_.size()); }
    Index folderCount() const { return static_cast<Index>(folders_.size()); }

    Index folderOfFile(Index file) const;
    // NUL-terminated: names go to system calls as they are.
    const char* fileName(Index file) const { return nameAt(files_[file]); }
    Index parentOf(Index folder) const { return folders_[folder].parent; }
    const char* folderName(Index folder) const { return nameAt(folders_[folder].name); }

    // "/"-separated, relative to the root; the root's own path is empty.
    std::string folderPath(Index folder) const;
    std::string filePath(Index file) const;

private:
    // A name's place: its block's number and its offset in the block.
    using NameRef = std::uint32_t;
    struct Folder {
        Index parent; // kNone for the root
        NameRef name;
    };
    // Files that follow one another in one folder: a walk lists a folder's
    // files in a few such runs, between its subfolders, so a file needs no
    // folder index of its own.
    struct Run {
        Index firstFile;
        Index folder;
    };

    NameRef store(std::string_view name);
    const char* nameAt(NameRef name) const;

    // Names in fixed blocks rather than one growing string: growth never
    // copies them, and no name moves once stored.
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::size_t blockUsed_;
    std::vector<Folder> folders_;
    std::vector<Run> runs_;
    // A deque grows without copying and without spare capacity to speak of.
    std::deque<NameRef> files_;
};

} // namespace quillfen
