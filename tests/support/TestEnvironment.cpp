#include "TestEnvironment.h"

#include "TempDir.h"

#include <cstdlib>
#include <utility>

namespace quillfen::test {
namespace {

// Removed with everything in it when the process ends.
const TempDir& root() {
    static const TempDir folder("quillfen-test-");
    return folder;
}

} // namespace

void isolateHome() {
    const auto& top = root().path();
    const std::pair<const char*, const char*> folders[] = {
        {"HOME", "home"},
        {"XDG_DATA_HOME", "home/.local/share"},
        {"XDG_CONFIG_HOME", "home/.config"},
        {"XDG_CACHE_HOME", "home/.cache"},
        {"TMPDIR", "tmp"},
    };
    for (const auto& [name, folder] : folders) {
        std::filesystem::create_directories(top / folder);
        ::setenv(name, (top / folder).c_str(), 1);
    }
    // Nothing a test does may reach the developer's desktop session.
    ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + (top / "no-session-bus").string()).c_str(),
             1);
}

const std::filesystem::path& isolatedRoot() {
    return root().path();
}

namespace {

void setOrUnset(const std::string& name, const std::optional<std::string>& value) {
    if (value)
        ::setenv(name.c_str(), value->c_str(), 1);
    else
        ::unsetenv(name.c_str());
}

} // namespace

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
