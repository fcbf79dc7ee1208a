#pragma once

#include <cstdint>
#include <string>

namespace quillfen {

struct FolderStats {
    std::int64_t files = 0;
    std::int64_t folders = 0;
    std::int64_t bytes = 0;
    bool isPartial = false; // counting hit its time cap: the figures are lower bounds

    // "~1.2 MB · 12+ folders · 1 file"
    std::string summary() const;

    friend bool operator==(const FolderStats&, const FolderStats&) = default;
};

} // namespace quillfen
