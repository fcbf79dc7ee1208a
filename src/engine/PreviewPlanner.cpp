#include "engine/PreviewPlanner.h"

#include "engine/FileSystemError.h"
#include "engine/FolderCursor.h"
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

PreviewPlanner::PreviewPlanner(const SyncEngine& engine,
                               std::optional<std::chrono::nanoseconds> timeGranularity)
    : engine_(engine), timeGranularity_(timeGranularity) {}

std::vector<DiffItem> PreviewPlanner::plan(const std::filesystem::path& source,
                                           const std::filesystem::path& destination,
                                           const SyncOptions& options) const {
    RunFolders folders(source, destination, options);
    FileDescriptor destinationFd = folders.openDestination(MissingFolders::leave);
    const auto granularity = timeGranularity_.value_or(folders.destinationGranularity());
    const auto listing = engine_.scanFiles(folders.source(), options.excludePatterns);

    FolderCursor sourceTree(folders.takeSource(), folders.source());
    std::optional<FolderCursor> destinationTree;
    if (destinationFd.isOpen())
        destinationTree.emplace(std::move(destinationFd), folders.destination());

    std::vector<DiffItem> items;
    for (const auto& path : listing.files) {
        const auto stamp = stampOrNone(sourceTree, path);
        if (wouldCopy(stamp, destinationTree ? &*destinationTree : nullptr, path, granularity))
            items.push_back(item(DiffItem::Action::copy, path, FileStamp::countedSize(stamp)));
    }
    if (options.deleteExtras && destinationTree) {
        const MirrorPlan mirror(listing);
        const auto destinationListing =
            TreeScanner({}, {}, TreeScanner::TemporaryFiles::setApart).scan(folders.destination());
        for (const auto& path : destinationListing.files) {
            if (mirror.isExtra(path))
                items.push_back(item(DiffItem::Action::remove, path, 0));
        }
    }
    return items;
}

} // namespace quillfen
