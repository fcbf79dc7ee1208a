#pragma once

#include "engine/TreeWalker.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace quillfen {

// Takes away a destination folder with everything in it, the way mirror mode
// removes destination files: every item that is not a folder is reported as
// deleted or as failed, and links are removed, never followed. What cannot
// be removed stays, with the folders that hold it.
class FolderRemoval : private TreeWalker::Visitor {
public:
    std::function<void(const std::string& relativePath)> onDeleted;
    std::function<void(const std::string& relativePath, const std::string& reason)> onFailed;

    // Removes the folder `name` of the folder `parentFd`. `relativePath`
    // names it in reports and `path` in the reasons. True when it is gone.
    bool remove(int parentFd, const std::string& name, const std::string& relativePath,
                const std::filesystem::path& path);

private:
    struct Entry {
        std::string relativePath; // below the folder being removed
        bool isFolder;
    };

    TreeWalker::Step visit(const TreeWalker::Item& item) override;
    void folderUnreadable(const std::string& relativePath, int errorNumber) override;
    TreeWalker::Step attributesUnreadable(const std::string& relativePath,
                                          int errorNumber) override;
    void fail(const std::string& inner, int errorNumber);

    std::vector<Entry> entries_;
    std::string relativePath_;
    std::filesystem::path path_;
};

} // namespace quillfen
