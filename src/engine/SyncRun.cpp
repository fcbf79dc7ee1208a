#include "engine/SyncRun.h"

#include "engine/FileCopier.h"
#include "engine/FileSystemError.h"
#include "engine/MirrorPlan.h"
#include "engine/RunFolders.h"
#include "engine/SyncError.h"
#include "engine/Verifier.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace quillfen {

SyncRun::SyncRun(const SyncEngine& engine, const SyncOptions& options, std::stop_token stop,
                 std::optional<std::chrono::nanoseconds> timeGranularity)
    : engine_(engine), options_(options), stop_(std::move(stop)),
      timeGranularity_(timeGranularity) {}

SyncResult SyncRun::run(const std::filesystem::path& source,
                        const std::filesystem::path& destination) {
    start_ = std::chrono::steady_clock::now();
    progress_.phase = SyncProgress::Phase::scanning;
    RunFolders folders(source, destination, options_);
    FolderCursor destinationTree(folders.openDestination(true), folders.destination());
    FolderCursor sourceTree(folders.takeSource(), folders.source());
    report();

    listSource(sourceTree);
    readStamps(sourceTree);
    progress_.phase = SyncProgress::Phase::syncing;
    report();

    copyFiles(sourceTree, destinationTree,
              timeGranularity_.value_or(timeGranularityOf(destinationTree.rootFd())));
    if (options_.deleteExtras && !stop_.stop_requested())
        deleteExtras(destinationTree);
    if (options_.verify && !stop_.stop_requested() && !copiedPaths_.empty())
        verifyCopies(sourceTree, destinationTree);
    progress_.phase = SyncProgress::Phase::done;
    report();
    return result();
}

void SyncRun::report() const {
    if (engine_.onProgress)
        engine_.onProgress(progress_);
}

void SyncRun::log(const std::string& line) const {
    if (engine_.onLog)
        engine_.onLog(line);
}

void SyncRun::listSource(FolderCursor& source) {
    listing_ = engine_.scanFiles(source.rootPath(), options_.excludePatterns,
                                 [this](const std::string& path) {
                                     ++excluded_;
                                     log("Excluded: " + path);
                                 });
    // A subfolder the scan could not read is a failure, not an empty folder.
    for (const auto& folder : listing_.unreadableFolders) {
        const FileDescriptor probe(
            ::openat(source.rootFd(), folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        const std::string reason = probe.isOpen()
                                       ? SyncError::cannotRead(source.pathOf(folder)).what()
                                       : FileSystemError(errno, source.pathOf(folder)).what();
        ++failed_;
        log("Error: " + folder + " — " + reason);
    }
}

void SyncRun::readStamps(FolderCursor& source) {
    stamps_.reserve(listing_.files.size());
    for (const auto& path : listing_.files) {
        try {
            stamps_.push_back(source.stampOf(path, false));
        } catch (const FileSystemError&) {
            stamps_.emplace_back();
        }
        const auto& stamp = stamps_.back();
        progress_.totalBytes += stamp && stamp->size ? *stamp->size : 0;
    }
    progress_.totalFiles = static_cast<std::int64_t>(listing_.files.size());
}

void SyncRun::copyFiles(FolderCursor& source, FolderCursor& destination,
                        std::chrono::nanoseconds granularity) {
    FileCopier copier(options_.bandwidthLimit, stop_);
    for (std::size_t index = 0; index < listing_.files.size(); ++index) {
        if (stop_.stop_requested())
            return;
        const auto& path = listing_.files[index];
        const auto& stamp = stamps_[index];
        const std::int64_t size = stamp && stamp->size ? *stamp->size : 0;
        progress_.currentFile = path;
        report();
        try {
            if (copier.copyIfNeeded(source, path, destination, path, stamp, granularity)) {
                progress_.copiedBytes += size;
                ++progress_.copiedFiles;
                if (options_.verify)
                    copiedPaths_.push_back(path);
                log("Copied: " + path);
            }
        } catch (const std::runtime_error& error) {
            ++failed_;
            log("Error: " + path + " — " + error.what());
        }
        ++progress_.processedFiles;
        progress_.processedBytes += size;
        report();
    }
}

void SyncRun::deleteExtras(FolderCursor& destination) {
    const auto destinationListing = engine_.scanFiles(destination.rootPath(), {});
    const MirrorPlan plan(listing_);
    for (const auto& path : destinationListing.files) {
        if (!plan.isExtra(path))
            continue;
        if (stop_.stop_requested())
            return;
        try {
            const int folder = destination.parentOf(path, false);
            if (folder == FolderCursor::kMissing ||
                ::unlinkat(folder, std::string(FolderCursor::nameOf(path)).c_str(), 0) != 0)
                throw FileSystemError(folder == FolderCursor::kMissing ? ENOENT : errno,
                                      destination.pathOf(path));
            ++progress_.deletedFiles;
            log("Deleted: " + path);
        } catch (const std::runtime_error& error) {
            ++failed_;
            log("Error deleting: " + path + " — " + error.what());
        }
    }
}

void SyncRun::verifyCopies(FolderCursor& source, FolderCursor& destination) {
    progress_.phase = SyncProgress::Phase::verifying;
    report();
    verificationFailures_ =
        Verifier(source, destination, stop_, engine_.onLog).verify(copiedPaths_);
}

SyncResult SyncRun::result() const {
    SyncResult result;
    result.status = stop_.stop_requested() ? SyncStatus::cancelled : SyncStatus::success;
    result.filesProcessed = progress_.processedFiles;
    result.filesCopied = progress_.copiedFiles;
    result.filesDeleted = progress_.deletedFiles;
    result.bytesTransferred = progress_.copiedBytes;
    result.duration =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    result.failedCount = failed_;
    result.filesExcluded = excluded_;
    result.verificationFailures = verificationFailures_;
    return result;
}

} // namespace quillfen
