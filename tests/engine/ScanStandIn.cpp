// Throwaway stand-in for the tree scan until the real one is merged.
#include "engine/FileSystemError.h"
#include "engine/SyncEngine.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

namespace quillfen {

bool SyncEngine::isExcluded(std::string_view relativePath, const std::vector<std::string>& patterns,
                            bool) {
    const std::string path(relativePath);
    const auto slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    for (const auto& pattern : patterns) {
        if (::fnmatch(pattern.c_str(), path.c_str(), FNM_PATHNAME | FNM_PERIOD) == 0 ||
            ::fnmatch(pattern.c_str(), name.c_str(), FNM_PERIOD) == 0)
            return true;
    }
    return false;
}

namespace {
void walk(const std::filesystem::path& root, const std::string& prefix,
          const std::vector<std::string>& patterns,
          const std::function<void(const std::string&)>& onExcluded, ScanResult& result) {
    DIR* dir = ::opendir((root / prefix).c_str());
    if (dir == nullptr) {
        if (!prefix.empty())
            result.unreadableFolders.push_back(prefix);
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string rel = prefix.empty() ? name : prefix + "/" + name;
        struct stat st {};
        if (::lstat((root / rel).c_str(), &st) != 0)
            throw FileSystemError(errno, root / rel);
        if (SyncEngine::isExcluded(rel, patterns, S_ISDIR(st.st_mode))) {
            if (onExcluded)
                onExcluded(rel);
            continue;
        }
        if (S_ISREG(st.st_mode))
            result.files.push_back(rel);
        else if (S_ISDIR(st.st_mode))
            walk(root, rel, patterns, onExcluded, result);
    }
    ::closedir(dir);
}
} // namespace

ScanResult SyncEngine::scanFiles(const std::filesystem::path& root,
                                 const std::vector<std::string>& patterns,
                                 const std::function<void(const std::string&)>& onExcluded) const {
    ScanResult result;
    std::error_code error;
    const auto real = std::filesystem::canonical(root, error);
    if (!error)
        walk(real, "", patterns, onExcluded, result);
    return result;
}

} // namespace quillfen
