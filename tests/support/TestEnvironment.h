#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace quillfen::test {

// Points HOME, XDG_DATA_HOME, XDG_CONFIG_HOME, XDG_CACHE_HOME and TMPDIR at a
// fresh folder for the life of the process and removes it at exit. Called
// first thing in every test main().
void isolateHome();

// The folder isolateHome() made.
const std::filesystem::path& isolatedRoot();

// Sets an environment variable (unsets it for nullopt) until the end of the
// scope, then puts back what was there.
class ScopedEnv {
public:
    ScopedEnv(std::string name, const std::optional<std::string>& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> saved_;
};

} // namespace quillfen::test
