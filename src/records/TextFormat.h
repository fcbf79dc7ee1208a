#pragma once

#include <cstdint>
#include <string>

namespace quillfen {

// "0 bytes", "1 byte", "12 KB", "3.4 MB", "1.25 GB": decimal multiples, the
// same in every locale.
std::string formatFileSize(std::int64_t bytes);

// "62m 5s", "1m 0s", "59s": the seconds cut toward zero, no hour unit.
std::string formatDuration(double seconds);

// Replaces every byte sequence that is not valid UTF-8 with U+FFFD, so a file
// name made of arbitrary bytes can go into JSON or onto a screen.
std::string toValidUtf8(std::string_view text);

} // namespace quillfen
