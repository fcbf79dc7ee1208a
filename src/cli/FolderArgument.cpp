#include "cli/FolderArgument.h"

#include "cli/TerminalText.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace quillfen::cli {

bool checkFolderArgument(const std::string& path, const char* action, LinkToFolder link) {
    struct stat status;
    const int result = link == LinkToFolder::accepted ? ::stat(path.c_str(), &status)
                                                      : ::lstat(path.c_str(), &status);
    int error = 0;
    if (result != 0)
        error = errno;
    else if (!S_ISDIR(status.st_mode))
        error = ENOTDIR;
    if (error == 0)
        return true;
    std::fprintf(stderr, "quillfen-cli: cannot %s %s: %s\n", action, terminalSafe(path).c_str(),
                 std::strerror(error));
    return false;
}

} // namespace quillfen::cli
