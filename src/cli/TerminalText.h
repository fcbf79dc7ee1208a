#pragma once

#include <string>
#include <string_view>

namespace quillfen::cli {

// Text as it may be shown on a terminal: control characters (an escape
// sequence in a file name, a newline in a profile name) become U+FFFD, so
// that no name can recolour the terminal or split one line into two.
std::string terminalSafe(std::string_view text);

} // namespace quillfen::cli
