#pragma once

#include <filesystem>

namespace quillfen::test {

// Points HOME, XDG_DATA_HOME, XDG_CONFIG_HOME, XDG_CACHE_HOME and TMPDIR at a
// fresh folder for the life of the process and removes it at exit. Called
// first thing in every test main().
void isolateHome();

// The folder isolateHome() made.
const std::filesystem::path& isolatedRoot();

} // namespace quillfen::test
