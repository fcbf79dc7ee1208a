#pragma once

#include "engine/ExclusionMatcher.h"
#include "engine/SyncEngine.h"
#include "engine/TreeWalker.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace quillfen {

// Lists the regular files of a tree under a pattern list: an excluded item is
// reported once through `onExcluded` and, when it is a folder, not entered.
// Subfolders that cannot be listed are passed over but named in the result.
class TreeScanner : private TreeWalker::Visitor {
public:
    // Whether files named like the engine's temporary files are listed with
    // the others or set apart. A destination's are set apart: they are no
    // files of the user's, to be kept or mirrored away, but what a killed
    // run left.
    enum class TemporaryFiles { listed, setApart };

    TreeScanner(const std::vector<std::string>& patterns,
                std::function<void(const std::string&)> onExcluded,
                TemporaryFiles temporaryFiles = TemporaryFiles::listed);

    // The root is scanned at its real location (links in its path resolved).
    // A root that does not exist or cannot be listed gives an empty result.
    // Throws FileSystemError when an item's attributes cannot be read.
    ScanResult scan(const std::filesystem::path& root);

private:
    TreeWalker::Step visit(const TreeWalker::Item& item) override;
    void folderUnreadable(const std::string& relativePath, int errorNumber) override;
    TreeWalker::Step attributesUnreadable(const std::string& relativePath,
                                          int errorNumber) override;

    ExclusionMatcher matcher_;
    std::function<void(const std::string&)> onExcluded_;
    TemporaryFiles temporaryFiles_;
    std::filesystem::path root_;
    ScanResult result_;
};

} // namespace quillfen
