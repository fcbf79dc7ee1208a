#include "engine/SyncRun.h"

#include "engine/CopyPipeline.h"
#include "engine/ExaminedFiles.h"
#include "engine/FileExaminer.h"
#include "engine/FileSystemError.h"
#include "engine/LeftoverRemover.h"
#include "engine/ListingPaths.h"
#include "engine/MirrorPlan.h"
#include "engine/RunFolders.h"
#include "engine/SyncError.h"
#include "engine/Verifier.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace quillfen {
namespace {

// Below this many files a second thread is not worth starting.
constexpr TreeListing::Index kParallelFiles = 512;

// An unattended run that would delete more than half of the destination's
// files, and at least this many, deletes none.
constexpr std::int64_t kUnattendedDeletions = 100;

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
    FolderCursor destinationTree(folders.openDestination(MissingFolders::create),
                                 folders.destination());
    holdsDestination_ = folders.lockDestination(destinationTree.rootFd());
    FolderCursor sourceTree(folders.takeSource(), folders.source());
    report();

    const auto granularity = timeGranularity_.value_or(timeGranularityOf(destinationTree.rootFd()));
    {
        // Leftovers go while the source is listed, and before any copy of
        // this run makes temporary files of its own. The delete phase's scan
        // finds them in mirror mode.
        std::jthread cleanup;
        if (holdsDestination_ && !options_.deleteExtras)
            cleanup = startLeftoverRemoval(destinationTree);
        listSource(sourceTree);
    }
    examineFiles(sourceTree, destinationTree, granularity);
    progress_.phase = SyncProgress::Phase::syncing;
    report();

    copyFiles(sourceTree, destinationTree);
    if (options_.deleteExtras && !stop_.stop_requested())
        deleteExtras(destinationTree);
    if (options_.verify && !stop_.stop_requested() && !copied_.empty())
        verifyCopies(sourceTree, destinationTree);
    progress_.phase = SyncProgress::Phase::done;
    report();
    return result();
}

std::jthread SyncRun::startLeftoverRemoval(const FolderCursor& destination) {
    try {
        return std::jthread(LeftoverRemover::removeFrom, destination.clone());
    } catch (const std::exception&) {
        return {}; // no handle or no thread to spare: the next run removes them
    }
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
    source_ = TreeScanner(options_.excludePatterns, [this](const std::string& path) {
                  ++excluded_;
                  log("Excluded: " + path);
              }).scan(source.rootPath());
    // A subfolder the scan could not read is a failure, not an empty folder.
    for (const auto& folder : source_.unreadableFolders) {
        const FileDescriptor probe(
            ::openat(source.rootFd(), folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        const std::string reason = probe.isOpen()
                                       ? SyncError::cannotRead(source.pathOf(folder)).what()
                                       : FileSystemError(errno, source.pathOf(folder)).what();
        ++failed_;
        log("Error: " + folder + " — " + reason);
    }
}

// A file found up to date is skipped, any other is copied. The copy replaces
// whatever stands at the destination by then, atomically.
void SyncRun::examineFiles(FolderCursor& source, FolderCursor& destination,
                           std::chrono::nanoseconds granularity) {
    auto count = source_.listing.fileCount();
    examined_.emplace(count);
    FileExaminer(source_.listing, granularity, *examined_).examine(source, &destination);
    for (ExaminedFiles::Reader facts(*examined_); count > 0; --count, facts.next()) {
        progress_.totalBytes += facts.facts().size;
        toCopy_ += facts.facts().destination != ExaminedFiles::Destination::upToDate;
    }
    progress_.totalFiles = static_cast<std::int64_t>(source_.listing.fileCount());
}

// Many small files copy in nearly half the time when two threads make them:
// the system's work for each new file is much more than the run's own. The
// run still tells every file in list order.
void SyncRun::copyFiles(FolderCursor& source, FolderCursor& destination) {
    if (toCopy_ >= kParallelFiles && options_.bandwidthLimit <= 0 &&
        std::thread::hardware_concurrency() > 1) {
        std::optional<FolderCursor> otherSource;
        std::optional<FolderCursor> otherDestination;
        try {
            otherSource.emplace(source.clone());
            otherDestination.emplace(destination.clone());
        } catch (const FileSystemError&) {
            // No descriptors to spare: one thread copies.
        }
        if (otherDestination) {
            std::vector<std::unique_ptr<RunCopier>> copiers;
            copiers.push_back(std::make_unique<RunCopier>(source, destination, options_, stop_));
            copiers.push_back(
                std::make_unique<RunCopier>(*otherSource, *otherDestination, options_, stop_));
            copyOnThreads(std::move(copiers));
            return;
        }
    }
    RunCopier copier(source, destination, options_, stop_);
    ListingPaths paths(source_.listing);
    ExaminedFiles::Reader facts(*examined_);
    for (TreeListing::Index index = 0;
         index < source_.listing.fileCount() && !stop_.stop_requested(); ++index, facts.next()) {
        const auto& path = paths.of(index);
        begin(path);
        finish(index, path, facts.facts().size, copier.copy(path, facts.facts().destination));
    }
}

void SyncRun::copyOnThreads(std::vector<std::unique_ptr<RunCopier>> copiers) {
    ListingPaths paths(source_.listing);
    ExaminedFiles::Reader facts(*examined_);
    CopyPipeline pipeline(source_.listing, *examined_, std::move(copiers), stop_);
    for (TreeListing::Index index = 0; index < source_.listing.fileCount(); ++index, facts.next()) {
        auto outcome = pipeline.next();
        if (!outcome)
            return;
        const auto& path = paths.of(index);
        begin(path);
        finish(index, path, facts.facts().size, std::move(*outcome));
    }
}

void SyncRun::begin(const std::string& path) {
    progress_.currentFile = path;
    report();
}

void SyncRun::finish(TreeListing::Index index, const std::string& path, std::int64_t size,
                     CopyOutcome outcome) {
    for (const auto& [deleted, line] : outcome.clearing) {
        ++(deleted ? progress_.deletedFiles : failed_);
        log(line);
    }
    if (outcome.folderKept)
        foldersKept_.push_back(path);
    if (outcome.result == CopyOutcome::Result::copied) {
        progress_.copiedBytes += size;
        ++progress_.copiedFiles;
        if (options_.verify)
            copied_.push_back(index);
        line_.assign("Copied: ").append(path); // one buffer for a line a file
        log(line_);
    } else if (outcome.result == CopyOutcome::Result::failed) {
        ++failed_;
        log("Error: " + path + " — " + outcome.error);
    }
    ++progress_.processedFiles;
    progress_.processedBytes += size;
    report();
}

void SyncRun::deleteExtras(FolderCursor& destination) {
    // The per-file figures are spent; the destination scan may want the room.
    examined_.reset();
    const auto extras = MirrorPlan(source_.listing, source_.unreadableFolders, foldersKept_)
                            .scanExtras(destination.rootPath());
    if (holdsDestination_)
        LeftoverRemover::remove(destination, extras.temporaryFiles);
    const auto planned = static_cast<std::int64_t>(extras.listing.fileCount());
    const auto present = static_cast<std::int64_t>(extras.filesFound);
    if (refusesToDelete(planned, present)) {
        refusal_ = "Not deleting " + std::to_string(planned) + " of " + std::to_string(present) +
                   " files in the destination: the source looks incomplete. Preview, then sync "
                   "by hand if this is right.";
        return;
    }
    ListingPaths paths(extras.listing);
    for (TreeListing::Index index = 0; index < extras.listing.fileCount(); ++index) {
        if (stop_.stop_requested())
            return;
        const auto& path = paths.of(index);
        try {
            const int folder = destination.parentOf(path, MissingFolders::leave);
            if (folder == FolderCursor::kMissing ||
                ::unlinkat(folder, extras.listing.fileName(index), 0) != 0)
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

// A source that went missing under its folder (an unplugged drive leaves
// the mount folder empty) looks like a source whose files were all deleted.
// Nobody watches an unattended run, so it deletes nothing when its plan
// would take every file of the destination, or most of a large one; a run by
// hand obeys only the limit it was given.
bool SyncRun::refusesToDelete(std::int64_t planned, std::int64_t present) const {
    if (options_.maxDeletions && planned > *options_.maxDeletions)
        return true;
    return options_.start == RunStart::unattended && planned > 0 &&
           (planned == present || (2 * planned > present && planned >= kUnattendedDeletions));
}

void SyncRun::verifyCopies(FolderCursor& source, FolderCursor& destination) {
    progress_.phase = SyncProgress::Phase::verifying;
    report();
    verificationFailures_ =
        Verifier(source, destination, stop_, engine_.onLog).verify(source_.listing, copied_);
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
    if (refusal_ && result.status == SyncStatus::success) {
        result.status = SyncStatus::failed;
        result.errorMessage = refusal_;
    }
    return result;
}

} // namespace quillfen
