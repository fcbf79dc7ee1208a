#pragma once

#include "engine/SyncEngine.h"

#include <string_view>
#include <unordered_set>
#include <vector>

namespace quillfen {

// Decides which destination files mirror mode removes: those with no
// counterpart in the source listing, except anything beneath a source folder
// that could not be read (its files are unknown, not absent) or beneath one
// of the `keptFolders` of the destination.
class MirrorPlan {
public:
    // Keeps views into both lists, which must outlive the plan.
    explicit MirrorPlan(const ScanResult& source, const std::vector<std::string>& keptFolders = {});

    bool isExtra(std::string_view destinationPath) const;

private:
    std::unordered_set<std::string_view> sourceFiles_;
    std::unordered_set<std::string_view> keptFolders_;
};

} // namespace quillfen
