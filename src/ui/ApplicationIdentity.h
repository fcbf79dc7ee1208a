#pragma once

#include "Version.h"

namespace quillfen {

inline constexpr const char* kApplicationName = "Quillfen";

// The desktop entry's name without ".desktop". The window manager and the
// desktop's task switcher match the running window to its launcher entry
// and icon by it, so it must name the installed desktop file.
inline constexpr const char* kDesktopFileName = kAppId;

} // namespace quillfen
