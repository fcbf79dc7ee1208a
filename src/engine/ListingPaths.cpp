#include "engine/ListingPaths.h"

namespace quillfen {

const std::string& ListingPaths::of(TreeListing::Index file) {
    if (cursor_ && cursor_->file() + 1 == file)
        cursor_->next();
    else if (!cursor_ || cursor_->file() != file)
        cursor_.emplace(listing_, file);
    if (cursor_->folder() != folder_) {
        folder_ = cursor_->folder();
        path_ = listing_.folderPath(folder_);
        if (!path_.empty())
            path_ += '/';
        folderLength_ = path_.size();
    }
    path_.resize(folderLength_);
    path_ += cursor_->name();
    return path_;
}

} // namespace quillfen
