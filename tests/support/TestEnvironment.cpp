#include "TestEnvironment.h"

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <system_error>

namespace quillfen::test {
namespace {

std::filesystem::path& root() {
    static std::filesystem::path path;
    return path;
}

void removeRoot() {
    std::error_code ignored;
    std::filesystem::remove_all(root(), ignored);
}

void setVariable(const char* name, const std::filesystem::path& value) {
    std::filesystem::create_directories(value);
    ::setenv(name, value.c_str(), 1);
}

} // namespace

void isolateHome() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/quillfen-test-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary home for the tests");
    root() = pattern;
    setVariable("HOME", root() / "home");
    setVariable("XDG_DATA_HOME", root() / "home/.local/share");
    setVariable("XDG_CONFIG_HOME", root() / "home/.config");
    setVariable("XDG_CACHE_HOME", root() / "home/.cache");
    setVariable("TMPDIR", root() / "tmp");
    // Nothing a test does may reach the developer's desktop session.
    const auto noBus = "unix:path=" + (root() / "no-session-bus").string();
    ::setenv("DBUS_SESSION_BUS_ADDRESS", noBus.c_str(), 1);
    std::atexit(removeRoot);
}

const std::filesystem::path& isolatedRoot() {
    return root();
}

} // namespace quillfen::test
