#include "TestEnvironment.h"

#include "TempDir.h"

#include <cstdlib>

namespace quillfen::test {
namespace {

void setOrUnset(const std::string& name, const std::optional<std::string>& value) {
    if (value)
        ::setenv(name.c_str(), value->c_str(), 1);
    else
        ::unsetenv(name.c_str());
}

} // namespace

const std::filesystem::path& isolatedRoot() {
    static const TempDir folder("quillfen-test-"); // removed with the process
    return folder.path();
}

void isolateHome() {
    for (const auto& [name, folder] : {std::pair{"HOME", "home"},
                                       {"XDG_DATA_HOME", "home/.local/share"},
                                       {"XDG_CONFIG_HOME", "home/.config"},
                                       {"XDG_CACHE_HOME", "home/.cache"},
                                       {"TMPDIR", "tmp"}}) {
        std::filesystem::create_directories(isolatedRoot() / folder);
        ::setenv(name, (isolatedRoot() / folder).c_str(), 1);
    }
    // Nothing a test does may reach the developer's desktop session.
    setOrUnset("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + (isolatedRoot() / "no-bus").string());
}

ScopedEnv::ScopedEnv(std::string name, const std::optional<std::string>& value)
    : name_(std::move(name)) {
    if (const char* saved = std::getenv(name_.c_str()))
        saved_ = saved;
    setOrUnset(name_, value);
}

ScopedEnv::~ScopedEnv() {
    setOrUnset(name_, saved_);
}

} // namespace quillfen::test
