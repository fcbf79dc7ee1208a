#include "engine/RunCopier.h"

#include "engine/FolderRemoval.h"
#include "engine/SyncError.h"

#include <stdexcept>

namespace quillfen {

RunCopier::RunCopier(FolderCursor& source, FolderCursor& destination, const SyncOptions& options,
                     std::stop_token stop)
    : source_(source), destination_(destination),
      copier_(options.bandwidthLimit, std::move(stop),
              options.deleteExtras
                  ? FileCopier::FolderClearer(
                        [this](int parentFd, const std::string& name, const std::string& path) {
                            clearFolder(parentFd, name, path);
                        })
                  : FileCopier::FolderClearer()) {}

CopyOutcome RunCopier::copy(const std::string& path, ExaminedFiles::Destination found) {
    using Destination = ExaminedFiles::Destination;
    CopyOutcome outcome;
    if (found == Destination::upToDate)
        return outcome;
    outcome_ = &outcome;
    try {
        copier_.copyFile(source_, path, destination_, path,
                         found == Destination::absent ? FileCopier::Target::free
                                                      : FileCopier::Target::unknown);
        outcome.result = CopyOutcome::Result::copied;
    } catch (const std::runtime_error& error) {
        outcome.result = CopyOutcome::Result::failed;
        outcome.error = error.what();
    }
    outcome_ = nullptr;
    return outcome;
}

// In mirror mode a folder where the source has a file holds only extras:
// they go as mirror deletions go, just before the complete copy takes the
// folder's place.
void RunCopier::clearFolder(int parentFd, const std::string& name, const std::string& path) {
    auto& outcome = *outcome_;
    FolderRemoval removal;
    removal.onDeleted = [&outcome](const std::string& item) {
        outcome.clearing.emplace_back(true, "Deleted: " + item);
    };
    removal.onFailed = [&outcome](const std::string& item, const std::string& reason) {
        outcome.clearing.emplace_back(false, "Error deleting: " + item + " — " + reason);
    };
    const auto fullPath = destination_.pathOf(path);
    if (!removal.remove(parentFd, name, path, fullPath)) {
        // What stayed was tried and reported once; the delete phase leaves it.
        outcome.folderKept = true;
        throw SyncError::folderInTheWay(fullPath);
    }
}

} // namespace quillfen
