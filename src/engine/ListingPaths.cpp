#include "engine/ListingPaths.h"

namespace quillfen {

const std::string& ListingPaths::of(TreeListing::Index file) {
    const auto folder = listing_.folderOfFile(file);
    if (folder != folder_) {
        folder_ = folder;
        path_ = listing_.folderPath(folder);
        if (!path_.empty())
            path_ += '/';
        folderLength_ = path_.size();
    }
    path_.resize(folderLength_);
    path_ += listing_.fileName(file);
    return path_;
}

} // namespace quillfen
