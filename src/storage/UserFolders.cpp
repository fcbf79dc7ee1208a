#include "storage/UserFolders.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace quillfen {

std::filesystem::path homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return "/";
}

std::filesystem::path dataHomeFolder() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && std::filesystem::path(dataHome).is_absolute())
        return dataHome;
    return homeFolder() / ".local/share";
}

} // namespace quillfen
