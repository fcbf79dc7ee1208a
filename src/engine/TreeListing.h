#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen {

// The folders and regular files of a scanned tree, held compactly so that a
// tree of millions of files fits in little memory: each name is kept once,
// and no path is kept as text. Files keep the order they were added in; a
// folder is added before what it holds, so a parent's index is always below
// its child's.
//
// Files that follow one another in one folder form a run, their names stored
// back to back: a file costs little more than its name. Going through the
// files in order (Cursor) is cheap; reaching one at random passes over the
// few names before it in its run.
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

    Index fileCount() const { return fileCount_; }
    Index folderCount() const { return static_cast<Index>(folders_.size()); }

    Index parentOf(Index folder) const { return folders_[folder].parent; }
    // NUL-terminated: names go to system calls as they are.
    const char* folderName(Index folder) const { return nameAt(folders_[folder].name); }
    Index folderOfFile(Index file) const;
    const char* fileName(Index file) const;

    // "/"-separated, relative to the root; the root's own path is empty.
    std::string folderPath(Index folder) const;
    std::string filePath(Index file) const;

    // A place among the files, moved on one file at a time.
    class Cursor {
    public:
        Cursor(const TreeListing& listing, Index file);

        Index file() const { return file_; }
        Index folder() const;
        const char* name() const { return name_; }
        // Must not pass the last file.
        void next();

    private:
        const TreeListing* listing_;
        std::size_t run_;
        Index file_;
        const char* name_;
    };

private:
    // A name's place: its block's number and its offset in the block.
    using NameRef = std::uint32_t;
    struct Folder {
        Index parent; // kNone for the root
        NameRef name;
    };
    struct Run {
        Index firstFile;
        Index folder;
        NameRef firstName;
    };

    NameRef store(std::string_view name);
    const char* nameAt(NameRef name) const;
    std::size_t runOf(Index file) const;

    // Names in fixed blocks rather than one growing string: growth never
    // copies them, and no name moves once stored.
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::size_t blockUsed_;
    std::vector<Folder> folders_;
    std::vector<Run> runs_;
    Index fileCount_ = 0;
    bool runOpen_ = false; // the last name stored is a file's, which the next may follow
};

} // namespace quillfen
