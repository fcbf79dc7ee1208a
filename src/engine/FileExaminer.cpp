#include "engine/FileExaminer.h"

#include "engine/FileSystemError.h"
#include "engine/ListingPaths.h"

#include <optional>
#include <thread>

namespace quillfen {
namespace {

// Below this many files a second thread is not worth starting.
constexpr TreeListing::Index kParallelFiles = 512;

} // namespace

FileExaminer::FileExaminer(const TreeListing& listing, std::chrono::nanoseconds granularity,
                           ExaminedFiles& examined)
    : listing_(listing), granularity_(granularity), examined_(examined) {}

void FileExaminer::examine(FolderCursor& source, FolderCursor* destination) {
    const auto count = listing_.fileCount();
    auto first = examined_.recorder();
    auto split = count;
    std::jthread helper;
    if (count >= kParallelFiles && std::thread::hardware_concurrency() > 1) {
        try {
            std::optional<FolderCursor> otherDestination;
            if (destination != nullptr)
                otherDestination.emplace(destination->clone());
            helper = std::jthread([this, count, half = count / 2, second = examined_.recorder(),
                                   otherSource = source.clone(),
                                   otherDestination = std::move(otherDestination)]() mutable {
                examineRange(otherSource, otherDestination ? &*otherDestination : nullptr, half,
                             count, second);
            });
            split = count / 2;
        } catch (const std::exception&) {
            // No second thread: this one reads everything.
        }
    }
    examineRange(source, destination, 0, split, first);
}

void FileExaminer::examineRange(FolderCursor& source, FolderCursor* destination,
                                TreeListing::Index begin, TreeListing::Index end,
                                ExaminedFiles::Recorder recorder) {
    ListingPaths paths(listing_);
    for (auto file = begin; file < end; ++file) {
        const auto& path = paths.of(file);
        std::optional<FileStamp> stamp;
        try {
            stamp = source.stampOf(path, MissingFolders::leave);
        } catch (const FileSystemError&) {
        }
        recorder.add({FileStamp::countedSize(stamp), destination != nullptr
                                                         ? found(*destination, path, stamp)
                                                         : ExaminedFiles::Destination::absent});
    }
}

ExaminedFiles::Destination FileExaminer::found(FolderCursor& destination, const std::string& path,
                                               const std::optional<FileStamp>& stamp) const {
    using Destination = ExaminedFiles::Destination;
    try {
        const auto existing = destination.stampOf(path, MissingFolders::leave);
        if (!existing)
            return Destination::absent;
        if (!stamp)
            return Destination::unknown;
        return needsCopy(*stamp, *existing, granularity_) ? Destination::outdated
                                                          : Destination::upToDate;
    } catch (const FileSystemError&) {
        return Destination::unknown;
    }
}

} // namespace quillfen
