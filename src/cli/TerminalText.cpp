#include "cli/TerminalText.h"

namespace quillfen::cli {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// The length of the control character at the start of `text`, 0 for none:
// U+0000 to U+001F and U+007F, and U+0080 to U+009F (C2 80 to C2 9F in
// UTF-8), on which some terminals act too (U+009B starts a control sequence
// like ESC [).
std::size_t controlLength(std::string_view text) {
    const auto byte = static_cast<unsigned char>(text[0]);
    if (byte < 0x20 || byte == 0x7F)
        return 1;
    if (byte == 0xC2 && text.size() >= 2 && static_cast<unsigned char>(text[1]) >= 0x80 &&
        static_cast<unsigned char>(text[1]) <= 0x9F)
        return 2;
    return 0;
}

} // namespace

// Every event line of a run passes here: what needs no replacement is
// copied a stretch at a time.
std::string terminalSafe(std::string_view text) {
    std::string safe;
    safe.reserve(text.size());
    std::size_t copied = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte >= 0x20 && byte != 0x7F && byte != 0xC2)
            continue; // nearly every byte
        const auto length = controlLength(text.substr(at));
        if (length == 0)
            continue;
        safe.append(text.substr(copied, at - copied)).append(kReplacement);
        at += length - 1;
        copied = at + 1;
    }
    return safe.append(text.substr(copied));
}

} // namespace quillfen::cli
