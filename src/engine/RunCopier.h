#pragma once

#include "engine/ExaminedFiles.h"
#include "engine/FileCopier.h"
#include "engine/FolderCursor.h"
#include "records/SyncOptions.h"

#include <stop_token>
#include <string>
#include <utility>
#include <vector>

namespace quillfen {

// What copying one file of a run did. It is told in list order by the run,
// which may be well after the copy when copies run on other threads.
struct CopyOutcome {
    enum class Result { upToDate, copied, failed };

    Result result = Result::upToDate;
    std::string error; // why it failed
    // A folder in its way in mirror mode, taken away first: the log line of
    // each file in it, deleted (true) or not, and whether the folder stayed.
    std::vector<std::pair<bool, std::string>> clearing;
    bool folderKept = false;
};

// Copies files of a run for one thread, through cursors no other thread uses
// meanwhile. It touches nothing else of the run's: everything it did is in
// the outcome.
class RunCopier {
public:
    // The cursors must outlive the copier.
    RunCopier(FolderCursor& source, FolderCursor& destination, const SyncOptions& options,
              std::stop_token stop);
    RunCopier(const RunCopier&) = delete; // its copier calls back into it
    RunCopier& operator=(const RunCopier&) = delete;

    // Copies the file at `path` unless `found` says its copy is up to date.
    CopyOutcome copy(const std::string& path, ExaminedFiles::Destination found);

private:
    void clearFolder(int parentFd, const std::string& name, const std::string& path);

    FolderCursor& source_;
    FolderCursor& destination_;
    FileCopier copier_;
    CopyOutcome* outcome_ = nullptr; // of the file under way
};

} // namespace quillfen
