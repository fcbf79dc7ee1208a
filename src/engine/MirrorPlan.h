#pragma once

#include "engine/SyncEngine.h"

#include <string_view>
#include <unordered_set>

namespace quillfen {

// Decides which destination files mirror mode removes: those with no
// counterpart in the source listing, except anything beneath a source folder
// that could not be read (its files are unknown, not absent).
class MirrorPlan {
public:
    // Keeps views into `source`, which must outlive the plan.
    explicit MirrorPlan(const ScanResult& source);

    bool isExtra(std::string_view destinationPath) const;

private:
    std::unordered_set<std::string_view> sourceFiles_;
    std::unordered_set<std::string_view> unreadableFolders_;
};

} // namespace quillfen
