#pragma once

#include "records/Uuid.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace quillfen {

// One source item that the active exclusion rules match.
struct CleanItem {
    Uuid id = Uuid::random();
    std::string relativePath;
    std::filesystem::path url;
    std::int64_t bytes = 0; // a file's size; 0 for folders and when unknown
    bool isDirectory = false;
};

// Finds what the clean-source tool would move to the Trash: every item the
// patterns match, in the order the walk meets them, and nothing beneath a
// matched folder.
class CleanSourceScanner {
public:
    static std::vector<CleanItem> scanForMatches(const std::filesystem::path& root,
                                                 const std::vector<std::string>& patterns);
};

} // namespace quillfen
