#pragma once

#include "engine/SyncEngine.h"

#include <string>
#include <vector>

namespace quillfen {

// The exclusion rule of every scan, preview and clean-source pass, prepared
// once per pattern list. A pattern excludes an item when it matches the
// whole relative path with fnmatch(FNM_PATHNAME | FNM_PERIOD) or its last
// component with fnmatch(FNM_PERIOD). A pattern ending in "/" names folders
// only and is matched without that slash.
//
// Matching always happens in the C.UTF-8 locale, so that "?" stands for one
// character whatever locale the process runs in (the window sets the user's,
// the command line and the tests do not).
class ExclusionMatcher {
public:
    explicit ExclusionMatcher(const std::vector<std::string>& patterns);

    bool isEmpty() const { return patterns_.empty(); }
    bool matches(const std::string& relativePath, ItemKind kind) const;

private:
    struct Pattern {
        std::string text;
        bool foldersOnly = false;
        bool isAscii = false;
    };
    std::vector<Pattern> patterns_;
};

} // namespace quillfen
