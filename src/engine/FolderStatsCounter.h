#pragma once

#include "engine/TreeWalker.h"
#include "records/FolderStats.h"

#include <chrono>
#include <filesystem>
#include <stop_token>
#include <string>

namespace quillfen {

// Counts the files, folders and file bytes below a folder, for the figures
// next to each chosen folder. Links are not followed or counted; folders that
// cannot be listed are passed over. A count that runs past its time cap stops
// with the figures so far marked partial; a cancelled one stops unmarked.
class FolderStatsCounter : private TreeWalker::Visitor {
public:
    FolderStatsCounter(std::stop_token stop, std::chrono::milliseconds cap);

    // A link in place of `folder` itself is not followed: it counts as nothing.
    FolderStats count(const std::filesystem::path& folder);

private:
    TreeWalker::Step visit(const TreeWalker::Item& item) override;
    void folderUnreadable(const std::string& relativePath, int errorNumber) override;
    TreeWalker::Step attributesUnreadable(const std::string& relativePath,
                                          int errorNumber) override;

    std::stop_token stop_;
    std::chrono::milliseconds cap_;
    std::chrono::steady_clock::time_point deadline_;
    FolderStats stats_;
};

} // namespace quillfen
