#pragma once

#include "engine/ExaminedFiles.h"
#include "engine/FolderCursor.h"
#include "engine/TreeListing.h"

#include <chrono>

namespace quillfen {

// Reads the attributes of every listed file on both sides and compares them:
// nearly all the work of a run or a preview that finds little to copy, so it
// is done on two threads where there are two cores.
class FileExaminer {
public:
    // `listing` and `examined` must outlive the examiner.
    FileExaminer(const TreeListing& listing, std::chrono::nanoseconds granularity,
                 ExaminedFiles& examined);

    // Records each file's size (0 when it cannot be read) and what stands at
    // its destination. Without a `destination` folder nothing stands there.
    // What cannot be read or compared is left unknown.
    void examine(FolderCursor& source, FolderCursor* destination);

private:
    void examineRange(FolderCursor& source, FolderCursor* destination, TreeListing::Index begin,
                      TreeListing::Index end, ExaminedFiles::Recorder recorder);
    ExaminedFiles::Destination found(FolderCursor& destination, const std::string& path,
                                     const std::optional<FileStamp>& stamp) const;

    const TreeListing& listing_;
    std::chrono::nanoseconds granularity_;
    ExaminedFiles& examined_;
};

} // namespace quillfen
