#pragma once

#include "engine/FolderCursor.h"
#include "engine/TreeWalker.h"

#include <string>
#include <vector>

namespace quillfen {

// Removes the temporary files that a run killed before it could clean up
// (SIGKILL, a power cut) left in a destination tree. Only a run that holds
// the destination's lock may do so: another run's copies under way look
// just the same.
class LeftoverRemover : private TreeWalker::Visitor {
public:
    // Walks the tree of `destination` and removes, silently, every regular
    // file named exactly like a temporary file. Never fails: what is not
    // removed now is met again by the next run.
    static void removeFrom(FolderCursor destination) noexcept;
    // Removes the files at `paths` in `destination`, found by a scan.
    static void remove(FolderCursor& destination, const std::vector<std::string>& paths) noexcept;

private:
    TreeWalker::Step visit(const TreeWalker::Item& item) override;
    void folderUnreadable(const std::string&, int) override {}
    TreeWalker::Step attributesUnreadable(const std::string&, int) override {
        return TreeWalker::Step::proceed;
    }

    std::vector<std::string> found_;
};

} // namespace quillfen
