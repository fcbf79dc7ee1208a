#pragma once

#include "engine/FileDescriptor.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace quillfen {

// Depth-first walk of a folder tree through directory file descriptors: a
// folder is reported before its contents, siblings in the order the file
// system returns them. Symbolic links are reported but never followed, and no
// system call ever sees more than one path component, so trees deeper than
// PATH_MAX walk like any other.
//
// Each folder's entries are read completely before its first child is entered,
// and only the innermost kMaxOpenFolders folders keep their descriptors; an
// outer folder is re-opened by name from the root when the walk returns to it
// (and must still be the same folder). Deep trees therefore never run out of
// file descriptors.
class TreeWalker {
public:
    enum class Kind { regularFile, directory, symbolicLink, other };

    // What the walk does after an item has been reported.
    enum class Step {
        proceed,      // go on; a folder's contents come next
        skipContents, // go on, but do not enter this folder
        stop,         // end the walk now
    };

    struct Item {
        const std::string& relativePath; // "/"-separated, no leading or trailing "/"
        std::size_t nameOffset;          // where the last component starts
        Kind kind;
        const struct stat* status; // a regular file's attributes when files are stat'ed
        std::size_t depth;         // folders between the root and the item
    };

    class Visitor {
    public:
        virtual ~Visitor() = default;
        virtual Step visit(const Item& item) = 0;
        // A folder that could not be listed; the walk goes on without its contents.
        virtual void folderUnreadable(const std::string& relativePath, int errorNumber) = 0;
        // An item whose attributes could not be read. Items that vanished
        // (ENOENT) never get here: they are passed over silently.
        virtual Step attributesUnreadable(const std::string& relativePath, int errorNumber) = 0;
    };

    static constexpr std::size_t kMaxOpenFolders = 64;

    // Which items are stat'ed: only those whose type the folder listing does
    // not give, or also every regular file, whose attributes then reach the
    // visitor.
    enum class Stat { whereTypeUnknown, everyFile };

    TreeWalker(Visitor& visitor, Stat stat);

    // False when `root` is not a folder that can be listed; the walk then
    // reports nothing. A link in place of the root is not followed.
    bool walk(const std::filesystem::path& root);
    // The same from an open folder; errno tells why when it gives false.
    bool walk(FileDescriptor root);

private:
    struct Entry {
        std::size_t nameOffset; // into Folder::names
        unsigned char type;     // DT_* value from the listing
    };
    struct Folder {
        FileDescriptor fd;
        std::string name;       // component below the parent folder
        std::size_t pathLength; // length of this folder's relative path
        dev_t device = 0;
        ino_t inode = 0;
        std::string names; // NUL-terminated entry names, back to back
        std::vector<Entry> entries;
        std::size_t next = 0;
    };

    int enter(FileDescriptor fd, std::string name);
    bool readEntries(Folder& folder);
    bool reportNext(Folder& folder);
    bool reopen(std::size_t index);
    void openChild(Folder& parent, const char* name);

    Visitor& visitor_;
    Stat stat_;
    std::vector<Folder> stack_;
    std::string path_;
    std::vector<char> buffer_;
};

} // namespace quillfen
