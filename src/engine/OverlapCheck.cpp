#include "engine/OverlapCheck.h"

#include "engine/ExclusionMatcher.h"
#include "engine/SyncError.h"

#include <algorithm>
#include <sys/stat.h>

namespace quillfen {
namespace {

std::filesystem::path resolved(const std::filesystem::path& path) {
    std::error_code error;
    auto real = std::filesystem::weakly_canonical(std::filesystem::absolute(path, error), error);
    return error ? std::filesystem::absolute(path).lexically_normal() : real;
}

std::filesystem::path withoutTrailingSeparator(std::filesystem::path path) {
    if (!path.has_filename() && path.has_relative_path())
        path = path.parent_path();
    return path;
}

} // namespace

void OverlapCheck::ensureSeparate(const std::filesystem::path& source,
                                  const std::filesystem::path& destination,
                                  const std::vector<std::string>& excludePatterns) {
    const auto realSource = withoutTrailingSeparator(resolved(source));
    const auto realDestination = withoutTrailingSeparator(resolved(destination));
    bool overlap =
        isWithin(realSource, realDestination) || sharesFolder(realSource, realDestination);
    if (!overlap && isWithin(realDestination, realSource)) {
        const auto excluded = excludedFolderAbove(realDestination, realSource, excludePatterns);
        // Below the excluded folder no bind mount may lead back to the source.
        overlap = !excluded || sharesFolder(realDestination, realSource, *excluded);
    } else if (!overlap) {
        overlap = sharesFolder(realDestination, realSource);
    }
    if (overlap)
        throw SyncError::overlap(source, destination);
}

bool OverlapCheck::isWithin(const std::filesystem::path& inner,
                            const std::filesystem::path& outer) {
    return std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end()).first ==
           outer.end();
}

// True when `outer` exists and is the same folder (device and inode) as
// `inner` or one of its existing ancestors up to `top` (by default the root):
// a bind mount shows one folder under two paths that no link resolution
// reveals.
bool OverlapCheck::sharesFolder(const std::filesystem::path& inner,
                                const std::filesystem::path& outer,
                                const std::filesystem::path& top) {
    struct stat outerStatus {};
    if (::stat(outer.c_str(), &outerStatus) != 0)
        return false;
    for (auto path = inner;; path = path.parent_path()) {
        struct stat status {};
        if (::stat(path.c_str(), &status) == 0 && status.st_dev == outerStatus.st_dev &&
            status.st_ino == outerStatus.st_ino)
            return true;
        if (path == top || path == path.parent_path())
            return false;
    }
}

// The outermost folder between `outer` (exclusive) and `inner` (inclusive)
// that the rules leave out of a scan of `outer`, if any.
std::optional<std::filesystem::path>
OverlapCheck::excludedFolderAbove(const std::filesystem::path& inner,
                                  const std::filesystem::path& outer,
                                  const std::vector<std::string>& excludePatterns) {
    const ExclusionMatcher rules(excludePatterns);
    std::filesystem::path relative;
    for (const auto& component : inner.lexically_relative(outer)) {
        relative /= component;
        if (rules.matches(relative.generic_string(), ItemKind::folder))
            return outer / relative;
    }
    return std::nullopt;
}

} // namespace quillfen
