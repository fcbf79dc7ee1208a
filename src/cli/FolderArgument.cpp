#include "cli/FolderArgument.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace quillfen::cli {

bool checkFolderArgument(const std::string& path, const char* action, bool followLink) {
    struct stat status;
    const int result = followLink ? ::stat(path.c_str(), &status) : ::lstat(path.c_str(), &status);
    int error = 0;
    if (result != 0)
        error = errno;
    else if (!S_ISDIR(status.st_mode))
        error = ENOTDIR;
    if (error == 0)
        return true;
    std::fprintf(stderr, "quillfen-cli: cannot %s %s: %s\n", action, path.c_str(),
                 std::strerror(error));
    return false;
}

} // namespace quillfen::cli
