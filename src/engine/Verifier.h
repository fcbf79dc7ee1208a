#pragma once

#include "engine/FolderCursor.h"
#include "engine/SyncEngine.h"
#include "engine/TreeListing.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace quillfen {

// Compares the SHA-256 of each copied file with that of its copy, reading the
// copy from the disk rather than from the page cache.
class Verifier {
public:
    Verifier(FolderCursor& source, FolderCursor& destination, std::stop_token stop,
             const std::function<void(const std::string&)>& onLog);

    // Checks the files of `listing` at `copied`; returns the number of
    // mismatches. Stops early when a stop is requested.
    std::int64_t verify(const TreeListing& listing, const std::vector<TreeListing::Index>& copied);

    // The digest of what `fd` yields from its current position; a read error
    // ends the input early.
    static Sha256Digest digestOf(int fd);

private:
    // Where a file's bytes are read from: whatever the page cache holds, or
    // the disk itself.
    enum class Read { cached, fromDisk };

    Sha256Digest digestAt(FolderCursor& tree, const std::string& relativePath, Read read);

    FolderCursor& source_;
    FolderCursor& destination_;
    std::stop_token stop_;
    const std::function<void(const std::string&)>& onLog_;
};

} // namespace quillfen
