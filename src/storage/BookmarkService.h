#pragma once

#include "storage/KeyValueStore.h"

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace quillfen {

// Keeps a grant per role ("source", "destination") for a folder the user
// picked, under "bm_" + role in the user-defaults store. Linux has no sandbox,
// so a grant is the folder's path and starting or stopping access is
// bookkeeping only. A grant resolves while its path names a folder; it is
// stale, and removed, once the path names something else; while the path is
// missing (an unplugged drive) it does not resolve but is kept.
class BookmarkService {
public:
    static constexpr const char* kKeyPrefix = "bm_";

    explicit BookmarkService(KeyValueStore& defaults);

    // The process-wide instance. The application installs it once, over its
    // user-defaults store, before first use; using it before that is a
    // programming error (std::logic_error).
    static BookmarkService& shared();
    static BookmarkService& installShared(KeyValueStore& defaults);

    // Stores the folder under "bm_" + key, replacing an earlier grant. A path
    // that is not an absolute path to an existing folder cannot be granted:
    // nothing is stored and the earlier grant stays.
    void saveBookmark(const std::filesystem::path& folder, const std::string& key);
    std::optional<std::filesystem::path> resolveBookmark(const std::string& key);
    // Resolves the grant and records it in activeURLs() under the key.
    std::optional<std::filesystem::path> startAccessing(const std::string& key);
    void stopAccessingAll();

    const std::map<std::string, std::filesystem::path>& activeURLs() const { return activeURLs_; }

private:
    KeyValueStore& defaults_;
    std::map<std::string, std::filesystem::path> activeURLs_;
};

} // namespace quillfen
