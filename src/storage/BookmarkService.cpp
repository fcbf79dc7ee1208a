#include "storage/BookmarkService.h"

#include <stdexcept>
#include <system_error>

namespace quillfen {
namespace {

namespace fs = std::filesystem;

std::unique_ptr<BookmarkService>& sharedInstance() {
    static std::unique_ptr<BookmarkService> instance;
    return instance;
}

std::string storedKey(const std::string& key) {
    return BookmarkService::kKeyPrefix + key;
}

bool isFolder(const fs::path& path) {
    std::error_code error;
    return path.is_absolute() && fs::is_directory(path, error);
}

} // namespace

BookmarkService::BookmarkService(KeyValueStore& defaults) : defaults_(defaults) {}

BookmarkService& BookmarkService::shared() {
    if (!sharedInstance())
        throw std::logic_error("BookmarkService::shared() used before installShared()");
    return *sharedInstance();
}

BookmarkService& BookmarkService::installShared(KeyValueStore& defaults) {
    sharedInstance() = std::make_unique<BookmarkService>(defaults);
    return *sharedInstance();
}

void BookmarkService::saveBookmark(const fs::path& folder, const std::string& key) {
    if (isFolder(folder))
        defaults_.setValue(storedKey(key), folder.string());
}

std::optional<fs::path> BookmarkService::resolveBookmark(const std::string& key) {
    const auto stored = defaults_.value(storedKey(key));
    // A value this service did not write (not an absolute path) does not
    // resolve; it is left alone like any grant that fails to resolve.
    if (!stored || !fs::path(*stored).is_absolute())
        return std::nullopt;
    const fs::path folder(*stored);
    std::error_code error;
    const auto status = fs::status(folder, error);
    if (status.type() == fs::file_type::directory)
        return folder;
    // Only something else standing at the path makes the grant stale; a path
    // that cannot be examined or is missing may come back.
    if (fs::exists(status))
        defaults_.remove(storedKey(key));
    return std::nullopt;
}

std::optional<fs::path> BookmarkService::startAccessing(const std::string& key) {
    auto folder = resolveBookmark(key);
    if (folder)
        activeURLs_[key] = *folder;
    return folder;
}

void BookmarkService::stopAccessingAll() {
    activeURLs_.clear();
}

} // namespace quillfen
