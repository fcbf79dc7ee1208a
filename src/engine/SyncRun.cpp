#include "engine/SyncRun.h"

#include "engine/FileCopier.h"
#include "engine/FileSystemError.h"
#include "engine/MirrorPlan.h"
#include "engine/RunFolders.h"
#include "engine/SyncError.h"
#include "engine/Verifier.h"

#include <cerrno>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace quillfen {
namespace {

// Below this many files a second thread is not worth starting.
constexpr std::size_t kParallelExamination = 512;

} // namespace

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

    const auto granularity = timeGranularity_.value_or(timeGranularityOf(destinationTree.rootFd()));
    listSource(sourceTree);
    examineFiles(sourceTree, destinationTree, granularity);
    progress_.phase = SyncProgress::Phase::syncing;
    report();

    copyFiles(sourceTree, destinationTree, granularity);
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

// Reading attributes is nearly all the work of a run that finds little to
// copy, so both sides are read up front, on two threads where there are two
// cores. A file found up to date here is skipped; any other file is compared
// again, live, right before its copy.
void SyncRun::examineFiles(FolderCursor& source, FolderCursor& destination,
                           std::chrono::nanoseconds granularity) {
    const std::size_t count = listing_.files.size();
    sizes_.assign(count, 0);
    upToDate_.assign(count, 0);
    std::size_t split = count;
    std::jthread helper;
    if (count >= kParallelExamination && std::thread::hardware_concurrency() > 1) {
        try {
            helper = std::jthread([this, count, granularity, half = count / 2,
                                   helperSource = source.clone(),
                                   helperDestination = destination.clone()]() mutable {
                examineRange(helperSource, helperDestination, half, count, granularity);
            });
            split = count / 2;
        } catch (const std::exception&) {
            // No second thread: this one reads everything.
        }
    }
    examineRange(source, destination, 0, split, granularity);
    if (helper.joinable())
        helper.join();
    for (const auto size : sizes_)
        progress_.totalBytes += size;
    progress_.totalFiles = static_cast<std::int64_t>(count);
}

void SyncRun::examineRange(FolderCursor& source, FolderCursor& destination, std::size_t begin,
                           std::size_t end, std::chrono::nanoseconds granularity) {
    for (std::size_t index = begin; index < end; ++index) {
        const auto& path = listing_.files[index];
        try {
            const auto stamp = source.stampOf(path, false);
            if (!stamp)
                continue;
            sizes_[index] = FileStamp::countedSize(stamp);
            const auto existing = destination.stampOf(path, false);
            upToDate_[index] = existing && !needsCopy(*stamp, *existing, granularity);
        } catch (const FileSystemError&) {
            // Left to the live comparison, which reports what fails.
        }
    }
}

void SyncRun::copyFiles(FolderCursor& source, FolderCursor& destination,
                        std::chrono::nanoseconds granularity) {
    FileCopier copier(options_.bandwidthLimit, stop_);
    for (std::size_t index = 0; index < listing_.files.size(); ++index) {
        if (stop_.stop_requested())
            return;
        const auto& path = listing_.files[index];
        const std::int64_t size = sizes_[index];
        progress_.currentFile = path;
        report();
        try {
            if (!upToDate_[index] &&
                copier.copyIfNeeded(source, path, destination, path, granularity)) {
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
