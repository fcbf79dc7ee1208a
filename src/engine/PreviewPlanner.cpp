#include "engine/PreviewPlanner.h"

#include "engine/FileSystemError.h"
#include "engine/FolderCursor.h"
#include "engine/ListingPaths.h"
#include "engine/MirrorPlan.h"
#include "engine/RunFolders.h"
#include "engine/TreeScanner.h"

namespace quillfen {
namespace {

DiffItem item(DiffItem::Action action, const std::string& path, std::int64_t size) {
    DiffItem diff;
    diff.action = action;
    diff.relativePath = path;
    diff.size = size;
    return diff;
}

std::optional<FileStamp> stampOrNone(FolderCursor& tree, const std::string& path) {
    try {
        return tree.stampOf(path, MissingFolders::leave);
    } catch (const FileSystemError&) {
        return std::nullopt;
    }
}

// True when the file belongs in the plan; a comparison that cannot be made
// leaves it out, as the run would fail that file.
bool wouldCopy(const std::optional<FileStamp>& source, FolderCursor* destination,
               const std::string& path, std::chrono::nanoseconds granularity) {
    if (destination == nullptr)
        return true;
    try {
        const auto existing = destination->stampOf(path, MissingFolders::leave);
        return !existing || (source && needsCopy(*source, *existing, granularity));
    } catch (const FileSystemError&) {
        return false;
    }
}

} // namespace

PreviewPlanner::PreviewPlanner(std::optional<std::chrono::nanoseconds> timeGranularity)
    : timeGranularity_(timeGranularity) {}

std::vector<DiffItem> PreviewPlanner::plan(const std::filesystem::path& source,
                                           const std::filesystem::path& destination,
                                           const SyncOptions& options) const {
    RunFolders folders(source, destination, options);
    FileDescriptor destinationFd = folders.openDestination(MissingFolders::leave);
    const auto granularity = timeGranularity_.value_or(folders.destinationGranularity());
    const auto scan = TreeScanner(options.excludePatterns, {}).scan(folders.source());

    FolderCursor sourceTree(folders.takeSource(), folders.source());
    std::optional<FolderCursor> destinationTree;
    if (destinationFd.isOpen())
        destinationTree.emplace(std::move(destinationFd), folders.destination());

    // Path text only for the items listed: an unchanged tree costs none.
    std::vector<DiffItem> items;
    ListingPaths paths(scan.listing);
    for (TreeListing::Index file = 0; file < scan.listing.fileCount(); ++file) {
        const auto& path = paths.of(file);
        const auto stamp = stampOrNone(sourceTree, path);
        if (wouldCopy(stamp, destinationTree ? &*destinationTree : nullptr, path, granularity))
            items.push_back(item(DiffItem::Action::copy, path, FileStamp::countedSize(stamp)));
    }
    if (options.deleteExtras && destinationTree) {
        const auto extras =
            MirrorPlan(scan.listing, scan.unreadableFolders).scanExtras(folders.destination());
        ListingPaths extraPaths(extras.listing);
        for (TreeListing::Index file = 0; file < extras.listing.fileCount(); ++file)
            items.push_back(item(DiffItem::Action::remove, extraPaths.of(file), 0));
    }
    return items;
}

} // namespace quillfen
