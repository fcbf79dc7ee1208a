#include "engine/FolderStatsCounter.h"

#include "engine/SyncEngine.h"

namespace quillfen {

FolderStatsCounter::FolderStatsCounter(std::stop_token stop, std::chrono::milliseconds cap)
    : stop_(std::move(stop)), cap_(cap) {}

FolderStats FolderStatsCounter::count(const std::filesystem::path& folder) {
    stats_ = {};
    deadline_ = std::chrono::steady_clock::now() + cap_;
    TreeWalker walker(*this, TreeWalker::Stat::everyFile);
    walker.walk(folder);
    return stats_;
}

TreeWalker::Step FolderStatsCounter::visit(const TreeWalker::Item& item) {
    if (stop_.stop_requested())
        return TreeWalker::Step::stop;
    if (std::chrono::steady_clock::now() > deadline_) {
        stats_.isPartial = true;
        return TreeWalker::Step::stop;
    }
    if (item.kind == TreeWalker::Kind::regularFile) {
        ++stats_.files;
        stats_.bytes += item.status->st_size;
    } else if (item.kind == TreeWalker::Kind::directory) {
        ++stats_.folders;
    }
    return TreeWalker::Step::proceed;
}

void FolderStatsCounter::folderUnreadable(const std::string&, int) {}

TreeWalker::Step FolderStatsCounter::attributesUnreadable(const std::string&, int) {
    return TreeWalker::Step::proceed;
}

FolderStats SyncEngine::computeFolderStats(const std::string& path, std::stop_token stop,
                                           std::chrono::milliseconds cap) {
    return FolderStatsCounter(std::move(stop), cap).count(path);
}

} // namespace quillfen
