#include "engine/SyncError.h"

namespace quillfen {

SyncError::SyncError(Kind kind, std::filesystem::path path, const std::string& description)
    : std::runtime_error(description), kind_(kind), path_(std::move(path)) {}

SyncError SyncError::sourceNotFound(const std::filesystem::path& path) {
    return {Kind::sourceNotFound, path, "Source not found: " + path.string()};
}

SyncError SyncError::cannotRead(const std::filesystem::path& path) {
    return {Kind::cannotRead, path, "Cannot read: " + path.string()};
}

SyncError SyncError::cannotWrite(const std::filesystem::path& path) {
    return {Kind::cannotWrite, path, "Cannot write: " + path.string()};
}

SyncError SyncError::overlap(const std::filesystem::path& source,
                             const std::filesystem::path& destination) {
    return {Kind::overlap, source,
            "Source and destination overlap: " + source.string() + " and " + destination.string()};
}

SyncError SyncError::cancelled() {
    return {Kind::cancelled, {}, "Cancelled"};
}

SyncError SyncError::changedWhileCopying(const std::filesystem::path& path) {
    return {Kind::changedWhileCopying, path, "changed while being copied"};
}

SyncError SyncError::folderInTheWay(const std::filesystem::path& path) {
    return {Kind::folderInTheWay, path, "a folder is in the way"};
}

SyncError SyncError::notAFolder(const std::filesystem::path& path) {
    return {Kind::notAFolder, path, "Not a folder: " + path.string()};
}

SyncError SyncError::destinationInUse(const std::filesystem::path& path) {
    return {Kind::destinationInUse, path, "Destination is in use by another run: " + path.string()};
}

} // namespace quillfen
