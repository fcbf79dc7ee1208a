#include "engine/SyncEngine.h"

#include "engine/FileCopier.h"
#include "engine/FileSystemError.h"
#include "engine/FolderCursor.h"
#include "engine/PreviewPlanner.h"
#include "engine/SyncRun.h"
#include "engine/TemporaryFile.h"
#include "engine/Verifier.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace quillfen {
namespace {

enum class Link { follow, asIs };

// A cursor on the folder holding `file`, created with its parents on request.
FolderCursor folderOf(const std::filesystem::path& file, MissingFolders missing) {
    auto folder = file.parent_path();
    if (folder.empty())
        folder = ".";
    if (missing == MissingFolders::create) {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error)
            throw FileSystemError(error.value(), folder);
    }
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.isOpen())
        throw FileSystemError(errno, folder);
    return FolderCursor(std::move(fd), folder);
}

FileStamp stampOf(const std::filesystem::path& file, Link link) {
    struct stat status {};
    if ((link == Link::follow ? ::stat(file.c_str(), &status) : ::lstat(file.c_str(), &status)) !=
        0)
        throw FileSystemError(errno, file);
    return FileStamp::of(status);
}

} // namespace

SyncEngine::SyncEngine(std::optional<std::chrono::nanoseconds> timeGranularity)
    : timeGranularity_(timeGranularity) {}

bool SyncEngine::needsCopy(const std::filesystem::path& sourceFile,
                           const std::filesystem::path& destinationFile) const {
    const auto source = stampOf(sourceFile, Link::follow);
    const auto destination = stampOf(destinationFile, Link::asIs);
    const auto granularity = timeGranularity_.value_or(
        timeGranularityOf(folderOf(destinationFile, MissingFolders::leave).rootFd()));
    return quillfen::needsCopy(source, destination, granularity);
}

std::vector<DiffItem> SyncEngine::preview(const std::filesystem::path& source,
                                          const std::filesystem::path& destination,
                                          const SyncOptions& options) const {
    return PreviewPlanner(timeGranularity_).plan(source, destination, options);
}

SyncResult SyncEngine::sync(const std::filesystem::path& source,
                            const std::filesystem::path& destination, const SyncOptions& options,
                            std::stop_token stop) {
    return SyncRun(*this, options, std::move(stop), timeGranularity_).run(source, destination);
}

bool SyncEngine::copyIfNeeded(const std::filesystem::path& sourceFile,
                              const std::filesystem::path& destinationFile,
                              std::int64_t bandwidthLimit, std::stop_token stop) const {
    auto source = folderOf(sourceFile, MissingFolders::leave);
    auto destination = folderOf(destinationFile, MissingFolders::create);
    const auto granularity = timeGranularity_.value_or(timeGranularityOf(destination.rootFd()));
    return FileCopier(bandwidthLimit, std::move(stop))
        .copyIfNeeded(source, sourceFile.filename(), destination, destinationFile.filename(),
                      granularity);
}

void SyncEngine::throttledCopy(const std::filesystem::path& sourceFile,
                               const std::filesystem::path& destinationFile,
                               std::int64_t bandwidthLimit, std::stop_token stop) const {
    auto source = folderOf(sourceFile, MissingFolders::leave);
    auto destination = folderOf(destinationFile, MissingFolders::create);
    FileCopier(bandwidthLimit, std::move(stop))
        .copy(source.rootFd(), sourceFile.filename(), destination.rootFd(),
              destinationFile.filename(), sourceFile, destinationFile);
}

std::optional<Sha256Digest> SyncEngine::fileDigest(const std::filesystem::path& file) {
    if (file.empty())
        return std::nullopt;
    const FileDescriptor input(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    return Verifier::digestOf(input.get());
}

void SyncEngine::removeUnfinishedCopies() {
    TemporaryFile::removeAll();
}

} // namespace quillfen
