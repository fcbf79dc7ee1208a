#pragma once

#include "engine/TreeListing.h"

#include <string>

namespace quillfen {

// Gives the relative paths of a listing's files one at a time, in one buffer.
// Files come folder by folder, so the folder's part of the path is mostly
// reused as it is and each path costs little more than copying its name.
class ListingPaths {
public:
    explicit ListingPaths(const TreeListing& listing) : listing_(listing) {}

    // Valid until the next call.
    const std::string& of(TreeListing::Index file);

private:
    const TreeListing& listing_;
    TreeListing::Index folder_ = TreeListing::kNone;
    std::size_t folderLength_ = 0; // with the "/" after it, if any
    std::string path_;
};

} // namespace quillfen
