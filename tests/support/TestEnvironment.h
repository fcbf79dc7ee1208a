#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace quillfen::test {

// Points HOME, XDG_*_HOME and TMPDIR into a fresh folder, removed at exit.
// Called first thing in every test main().
void isolateHome();

// The folder isolateHome() made.
const std::filesystem::path& isolatedRoot();

// Sets an environment variable (unsets it for nullopt) for the scope.
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
