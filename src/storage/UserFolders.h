#pragma once

#include <filesystem>

namespace quillfen {

// The user's home folder: $HOME, else the password database's entry.
std::filesystem::path homeFolder();

// $XDG_DATA_HOME, or ~/.local/share when it is unset or relative (the XDG
// rules make relative values invalid).
std::filesystem::path dataHomeFolder();

} // namespace quillfen
