#include "engine/ExaminedFiles.h"

namespace quillfen {

ExaminedFiles::ExaminedFiles(TreeListing::Index count)
    : sizes_(count, 0), destinations_(count, Destination::unknown) {}

void ExaminedFiles::record(TreeListing::Index file, std::int64_t size, Destination destination) {
    destinations_[file] = destination;
    if (size < kLarge) {
        sizes_[file] = static_cast<std::uint32_t>(size);
        return;
    }
    sizes_[file] = kLarge;
    const std::lock_guard lock(largeMutex_);
    large_[file] = size;
}

std::int64_t ExaminedFiles::size(TreeListing::Index file) const {
    if (sizes_[file] != kLarge)
        return sizes_[file];
    const std::lock_guard lock(largeMutex_);
    return large_.at(file);
}

} // namespace quillfen
