#include "engine/MirrorPlan.h"

#include <functional>

namespace quillfen {

MirrorPlan::MirrorPlan(const TreeListing& source, const std::vector<std::string>& unreadableFolders,
                       const std::vector<std::string>& keptFolders)
    : source_(source), keptFolders_(unreadableFolders.begin(), unreadableFolders.end()) {
    keptFolders_.insert(keptFolders.begin(), keptFolders.end());
    // At most two thirds full, so that a lookup seldom probes more than a few
    // slots.
    const std::size_t items = std::size_t(source.fileCount()) + source.folderCount();
    slots_.assign(items + items / 2 + 1, TreeListing::kNone);
    for (Index folder = TreeListing::kRoot + 1; folder < source.folderCount(); ++folder)
        insert(source.parentOf(folder), source.folderName(folder), folder | kFolderBit);
    if (source.fileCount() == 0)
        return;
    for (TreeListing::Cursor file(source, 0);; file.next()) {
        insert(file.folder(), file.name(), file.file());
        if (file.file() + 1 == source.fileCount())
            break;
    }
}

TreeScanner::Result MirrorPlan::scanExtras(const std::filesystem::path& root) {
    return TreeScanner({}, {}, TreeScanner::TemporaryFiles::setApart,
                       [this](const TreeListing& listing, Index folder, std::string_view name) {
                           return isExtra(listing, folder, name);
                       })
        .scan(root);
}

bool MirrorPlan::isExtra(const TreeListing& destination, Index folder, std::string_view name) {
    matchFolders(destination);
    if (kept_[folder])
        return false;
    return counterparts_[folder] == TreeListing::kNone ||
           find(counterparts_[folder], name, false) == TreeListing::kNone;
}

// Folders are added to a listing after their parent, so each new one is
// matched through a parent matched before it.
void MirrorPlan::matchFolders(const TreeListing& destination) {
    for (Index folder = static_cast<Index>(counterparts_.size());
         folder < destination.folderCount(); ++folder) {
        if (folder == TreeListing::kRoot) {
            counterparts_.push_back(TreeListing::kRoot);
            kept_.push_back(false);
            continue;
        }
        const Index parent = destination.parentOf(folder);
        const Index above = counterparts_[parent];
        counterparts_.push_back(above == TreeListing::kNone
                                    ? TreeListing::kNone
                                    : find(above, destination.folderName(folder), true));
        kept_.push_back(kept_[parent] || (!keptFolders_.empty() &&
                                          keptFolders_.contains(destination.folderPath(folder))));
    }
}

std::size_t MirrorPlan::slotOf(Index parent, std::string_view name) const {
    const std::size_t hash =
        std::hash<std::string_view>{}(name) ^ (std::size_t(parent) * 0x9E3779B97F4A7C15ULL);
    return hash % slots_.size();
}

void MirrorPlan::insert(Index parent, std::string_view name, Index item) {
    auto slot = slotOf(parent, name);
    while (slots_[slot] != TreeListing::kNone)
        slot = slot + 1 == slots_.size() ? 0 : slot + 1;
    slots_[slot] = item;
}

bool MirrorPlan::isFile(Index file, Index folder, std::string_view name) const {
    const TreeListing::Cursor at(source_, file);
    return at.folder() == folder && at.name() == name;
}

MirrorPlan::Index MirrorPlan::find(Index parent, std::string_view name, bool isFolder) const {
    for (auto slot = slotOf(parent, name); slots_[slot] != TreeListing::kNone;
         slot = slot + 1 == slots_.size() ? 0 : slot + 1) {
        const Index item = slots_[slot];
        if (((item & kFolderBit) != 0) != isFolder)
            continue;
        const Index index = item & ~kFolderBit;
        if (isFolder ? source_.parentOf(index) == parent && source_.folderName(index) == name
                     : isFile(index, parent, name))
            return index;
    }
    return TreeListing::kNone;
}

} // namespace quillfen
