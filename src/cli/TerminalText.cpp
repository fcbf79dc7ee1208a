#include "cli/TerminalText.h"

namespace quillfen::cli {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// U+0080 to U+009F in UTF-8: C2 80 to C2 9F. Some terminals act on these
// too (U+009B starts a control sequence like ESC [).
bool startsWithC1Control(std::string_view text) {
    return text.size() >= 2 && static_cast<unsigned char>(text[0]) == 0xC2 &&
           static_cast<unsigned char>(text[1]) >= 0x80 &&
           static_cast<unsigned char>(text[1]) <= 0x9F;
}

} // namespace

std::string terminalSafe(std::string_view text) {
    std::string safe;
    safe.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte < 0x20 || byte == 0x7F) {
            safe += kReplacement;
        } else if (startsWithC1Control(text.substr(at))) {
            safe += kReplacement;
            ++at;
        } else {
            safe += text[at];
        }
    }
    return safe;
}

} // namespace quillfen::cli
