#include "cleanup/CleanSourceScanner.h"

#include "engine/SyncEngine.h"
#include "engine/TreeWalker.h"

#include <system_error>

namespace quillfen {
namespace {

class MatchCollector : public TreeWalker::Visitor {
public:
    MatchCollector(const std::filesystem::path& root, const std::vector<std::string>& patterns)
        : root_(root), patterns_(patterns) {}

    TreeWalker::Step visit(const TreeWalker::Item& item) override {
        const bool isDirectory = item.kind == TreeWalker::Kind::directory;
        if (!SyncEngine::isExcluded(item.relativePath, patterns_,
                                    isDirectory ? ItemKind::folder : ItemKind::file))
            return TreeWalker::Step::proceed;
        const bool isFile = item.kind == TreeWalker::Kind::regularFile && item.status != nullptr;
        items.push_back({.relativePath = item.relativePath,
                         .url = root_ / item.relativePath,
                         .bytes = isFile ? std::int64_t(item.status->st_size) : 0,
                         .isDirectory = isDirectory});
        return TreeWalker::Step::skipContents;
    }

    void folderUnreadable(const std::string&, int) override {}

    TreeWalker::Step attributesUnreadable(const std::string& relativePath, int) override {
        // Listed all the same, as a file of unknown size.
        if (SyncEngine::isExcluded(relativePath, patterns_, ItemKind::file))
            items.push_back({.relativePath = relativePath, .url = root_ / relativePath});
        return TreeWalker::Step::proceed;
    }

    std::vector<CleanItem> items;

private:
    const std::filesystem::path& root_;
    const std::vector<std::string>& patterns_;
};

} // namespace

std::vector<CleanItem>
CleanSourceScanner::scanForMatches(const std::filesystem::path& root,
                                   const std::vector<std::string>& patterns) {
    // A source chosen through a link is cleaned where it really is, as a run
    // would copy it.
    std::error_code error;
    const auto resolved = std::filesystem::canonical(root, error);
    if (error)
        return {};
    MatchCollector collector(resolved, patterns);
    TreeWalker walker(collector, TreeWalker::Stat::everyFile);
    walker.walk(resolved);
    return std::move(collector.items);
}

} // namespace quillfen
