#include "ThrowawayHome.h"

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <system_error>

namespace quillfen::tools {

namespace fs = std::filesystem;

ThrowawayHome::ThrowawayHome() {
    std::string pattern = (fs::temp_directory_path() / "quillfen-home-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::system_error(errno, std::generic_category(), "mkdtemp");
    path_ = pattern;
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"}) {
        fs::create_directories(path_ / name);
        setenv(name, (path_ / name).c_str(), 1);
    }
    setenv("HOME", path_.c_str(), 1);
    fs::create_directories(path_ / "runtime");
    fs::permissions(path_ / "runtime", fs::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", (path_ / "runtime").c_str(), 1);
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

ThrowawayHome::~ThrowawayHome() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

} // namespace quillfen::tools
