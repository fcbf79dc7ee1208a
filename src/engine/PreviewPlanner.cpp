#include "engine/PreviewPlanner.h"

#include "engine/ExaminedFiles.h"
#include "engine/FileExaminer.h"
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

    ExaminedFiles examined(scan.listing.fileCount());
    FileExaminer(scan.listing, granularity, examined)
        .examine(sourceTree, destinationTree ? &*destinationTree : nullptr);
    // A comparison that cannot be made leaves the file out, as the run would
    // fail that file. Path text only for the items listed: an unchanged tree
    // costs none.
    std::vector<DiffItem> items;
    ListingPaths paths(scan.listing);
    ExaminedFiles::Reader facts(examined);
    for (TreeListing::Index file = 0; file < scan.listing.fileCount(); ++file, facts.next()) {
        const auto found = facts.facts().destination;
        if (found == ExaminedFiles::Destination::absent ||
            found == ExaminedFiles::Destination::outdated)
            items.push_back(item(DiffItem::Action::copy, paths.of(file), facts.facts().size));
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
