#pragma once

#include "engine/ExaminedFiles.h"
#include "engine/FileStamp.h"
#include "engine/FolderCursor.h"
#include "engine/RunCopier.h"
#include "engine/SyncEngine.h"
#include "engine/TreeScanner.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

namespace quillfen {

// The working state and the phases of one sync run: scan, copy, delete
// extras, verify. Lives for one call of SyncEngine::sync, holding the
// destination folder's lock throughout.
class SyncRun {
public:
    SyncRun(const SyncEngine& engine, const SyncOptions& options, std::stop_token stop,
            std::optional<std::chrono::nanoseconds> timeGranularity);

    // Throws SyncError or FileSystemError when the run as a whole fails.
    SyncResult run(const std::filesystem::path& source, const std::filesystem::path& destination);

private:
    void report() const;
    void log(const std::string& line) const;
    void listSource(FolderCursor& source);
    void examineFiles(FolderCursor& source, FolderCursor& destination,
                      std::chrono::nanoseconds granularity);
    static std::jthread startLeftoverRemoval(const FolderCursor& destination);
    void copyFiles(FolderCursor& source, FolderCursor& destination);
    void copyOnThreads(std::vector<std::unique_ptr<RunCopier>> copiers);
    void begin(const std::string& path);
    void finish(TreeListing::Index index, const std::string& path, std::int64_t size,
                CopyOutcome outcome);
    void deleteExtras(FolderCursor& destination);
    bool refusesToDelete(std::int64_t planned, std::int64_t present) const;
    void verifyCopies(FolderCursor& source, FolderCursor& destination);
    SyncResult result() const;

    const SyncEngine& engine_;
    const SyncOptions& options_;
    std::stop_token stop_;
    std::optional<std::chrono::nanoseconds> timeGranularity_;
    std::chrono::steady_clock::time_point start_;
    bool holdsDestination_ = false; // its lock, where the file system keeps locks
    SyncProgress progress_;
    TreeScanner::Result source_;
    // Per listed file: its size, and what stood at its destination. The
    // attributes of a file to copy are read again anyway.
    std::optional<ExaminedFiles> examined_;
    TreeListing::Index toCopy_ = 0;          // files not found up to date
    std::vector<TreeListing::Index> copied_; // to verify
    std::string line_;
    std::vector<std::string> foldersKept_; // in the way of a file, not emptied
    std::int64_t failed_ = 0;
    std::int64_t excluded_ = 0;
    std::int64_t verificationFailures_ = 0;
    // Why the mirror deletions were withheld; the run then ends as failed.
    std::optional<std::string> refusal_;
};

} // namespace quillfen
