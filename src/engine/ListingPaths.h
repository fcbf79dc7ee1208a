#pragma once

#include "engine/TreeListing.h"

#include <optional>
#include <string>

namespace quillfen {

// Gives the relative paths of a listing's files one at a time, in one buffer.
// Files mostly come in order and folder by folder, so each path costs little
// more than copying its name: the folder's part is reused as it is.
class ListingPaths {
public:
    explicit ListingPaths(const TreeListing& listing) : listing_(listing) {}

    // Valid until the next call.
    const std::string& of(TreeListing::Index file);

private:
    const TreeListing& listing_;
    std::optional<TreeListing::Cursor> cursor_;
    TreeListing::Index folder_ = TreeListing::kNone;
    std::size_t folderLength_ = 0; // with the "/" after it, if any
    std::string path_;
};

} // namespace quillfen
