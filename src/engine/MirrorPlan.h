#pragma once

#include "engine/TreeListing.h"
#include "engine/TreeScanner.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace quillfen {

// Decides which destination files mirror mode removes: those with no
// counterpart in the source listing, except anything beneath a source folder
// that could not be read (its files are unknown, not absent) or beneath one
// of the `keptFolders` of the destination.
//
// The destination is judged while it is scanned, file by file, so that only
// the files to remove are ever held: each destination folder is matched to
// its source counterpart, by name, through the folder above it.
class MirrorPlan {
public:
    // Keeps a reference to `source`, which must outlive the plan.
    MirrorPlan(const TreeListing& source, const std::vector<std::string>& unreadableFolders,
               const std::vector<std::string>& keptFolders = {});

    // Scans the destination tree at `root` (nothing excluded, temporary files
    // set apart) into a listing of the files to remove.
    TreeScanner::Result scanExtras(const std::filesystem::path& root);

    // True when the file `name` in `folder` of `destination`, a listing still
    // being built, has no counterpart and is not kept.
    bool isExtra(const TreeListing& destination, TreeListing::Index folder, std::string_view name);

private:
    using Index = TreeListing::Index;
    static constexpr Index kFolderBit = Index(1) << 31;

    void insert(Index parent, std::string_view name, Index item);
    Index find(Index parent, std::string_view name, bool isFolder) const;
    bool isFile(Index file, Index folder, std::string_view name) const;
    std::size_t slotOf(Index parent, std::string_view name) const;
    void matchFolders(const TreeListing& destination);

    const TreeListing& source_;
    // Open addressing over every source item by folder and name: a file's
    // index, or a folder's with kFolderBit; kNone marks a free slot.
    std::vector<Index> slots_;
    std::unordered_set<std::string> keptFolders_;
    // Per destination folder: its source counterpart (or kNone), and whether
    // it is kept.
    std::vector<Index> counterparts_;
    std::vector<bool> kept_;
};

} // namespace quillfen
