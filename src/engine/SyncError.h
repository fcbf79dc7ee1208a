#pragma once

#include <filesystem>
#include <stdexcept>

namespace quillfen {

// The engine's own errors. Raised for the folders (`sourceNotFound`,
// `cannotRead`, `notAFolder`, `overlap`, `destinationInUse`) they fail a
// whole run or preview; raised for one file (`cannotRead`, `cannotWrite`,
// `cancelled`, `changedWhileCopying`, `folderInTheWay`) they fail that file
// only.
class SyncError : public std::runtime_error {
public:
    enum class Kind {
        sourceNotFound,
        cannotRead,
        cannotWrite,
        overlap,
        cancelled,
        changedWhileCopying,
        folderInTheWay,
        notAFolder,
        destinationInUse
    };

    static SyncError sourceNotFound(const std::filesystem::path& path);
    static SyncError cannotRead(const std::filesystem::path& path);
    static SyncError cannotWrite(const std::filesystem::path& path);
    static SyncError overlap(const std::filesystem::path& source,
                             const std::filesystem::path& destination);
    static SyncError cancelled();
    static SyncError changedWhileCopying(const std::filesystem::path& path);
    static SyncError folderInTheWay(const std::filesystem::path& path);
    static SyncError notAFolder(const std::filesystem::path& path);
    static SyncError destinationInUse(const std::filesystem::path& path);

    Kind kind() const { return kind_; }
    // The location the error is about (the source folder for `overlap`).
    const std::filesystem::path& path() const { return path_; }

private:
    SyncError(Kind kind, std::filesystem::path path, const std::string& description);

    Kind kind_;
    std::filesystem::path path_;
};

} // namespace quillfen
