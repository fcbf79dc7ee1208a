#pragma once

#include "engine/ExclusionMatcher.h"
#include "engine/SyncEngine.h"
#include "engine/TreeListing.h"
#include "engine/TreeWalker.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
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

    // Decides, as the scan goes, whether the file `name` in `folder` of the
    // listing being built joins it. The mirror plan keeps only the files it
    // would delete, so that a destination is never held in memory whole.
    using FileFilter = std::function<bool(const TreeListing& listing, TreeListing::Index folder,
                                          std::string_view name)>;

    struct Result {
        TreeListing listing; // every folder entered or not, the files kept
        std::vector<std::string> unreadableFolders;
        std::vector<std::string> temporaryFiles; // when set apart
        TreeListing::Index filesFound = 0;       // regular files, kept or not
    };

    TreeScanner(const std::vector<std::string>& patterns,
                std::function<void(const std::string&)> onExcluded,
                TemporaryFiles temporaryFiles = TemporaryFiles::listed, FileFilter keep = {});

    // The root is scanned at its real location (links in its path resolved).
    // A root that does not exist or cannot be listed gives an empty result.
    // Throws FileSystemError when an item's attributes cannot be read.
    Result scan(const std::filesystem::path& root);

private:
    TreeWalker::Step visit(const TreeWalker::Item& item) override;
    void folderUnreadable(const std::string& relativePath, int errorNumber) override;
    TreeWalker::Step attributesUnreadable(const std::string& relativePath,
                                          int errorNumber) override;

    ExclusionMatcher matcher_;
    std::function<void(const std::string&)> onExcluded_;
    TemporaryFiles temporaryFiles_;
    FileFilter keep_;
    std::filesystem::path root_;
    Result result_;
    // The listing's index of the folder at each depth of the walk's path.
    std::vector<TreeListing::Index> folderAtDepth_;
};

} // namespace quillfen
