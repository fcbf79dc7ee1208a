#pragma once

#include "engine/TreeListing.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace quillfen {

// What a run learns of each listed file before its copy phase: the size and
// what stands at the destination. Five bytes a file: sizes of 4 GiB and more,
// which are rare, are kept apart.
class ExaminedFiles {
public:
    enum class Destination : std::uint8_t {
        unknown,  // not examined, or the examination failed
        absent,   // nothing there
        upToDate, // a copy the comparison accepts
        outdated, // anything else: a file to replace, a folder, a link
    };

    // Every file unknown, of size 0.
    explicit ExaminedFiles(TreeListing::Index count = 0);

    // Safe from several threads at once for different files.
    void record(TreeListing::Index file, std::int64_t size, Destination destination);

    std::int64_t size(TreeListing::Index file) const;
    Destination destination(TreeListing::Index file) const { return destinations_[file]; }

private:
    static constexpr std::uint32_t kLarge = UINT32_MAX;

    std::vector<std::uint32_t> sizes_;
    std::vector<Destination> destinations_;
    mutable std::mutex largeMutex_;
    std::unordered_map<TreeListing::Index, std::int64_t> large_;
};

} // namespace quillfen
