#include "cli/StoreReading.h"

#include "cli/Commands.h"

#include <charconv>

namespace quillfen::cli {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

std::size_t parseLimit(const std::string& text) {
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size())
        throw UsageError{"--limit needs a whole number, not '" + text + "'"};
    return value;
}

} // namespace

StorageService openStoreForReading() {
    return StorageService(StorageService::defaultContainer(),
                          StorageService::ContainerCreation::leaveMissing);
}

std::string terminalSafe(std::string_view text) {
    std::string safe;
    safe.reserve(text.size());
    for (const char character : text) {
        const auto byte = static_cast<unsigned char>(character);
        if (byte < 0x20 || byte == 0x7F)
            safe += kReplacement;
        else
            safe += character;
    }
    return safe;
}

StoreVerbOptions parseStoreVerbOptions(const std::vector<std::string>& args, bool acceptsLimit) {
    StoreVerbOptions options;
    for (std::size_t index = 0; index < args.size(); ++index) {
        const std::string& arg = args[index];
        if (arg == "--json") {
            options.json = true;
        } else if (acceptsLimit && arg == "--limit") {
            if (index + 1 == args.size())
                throw UsageError{"--limit needs a number"};
            options.limit = parseLimit(args[++index]);
        } else if (arg.starts_with('-')) {
            throw UsageError{"unknown option '" + arg + "' (try --help)"};
        } else {
            throw UsageError{"unexpected argument '" + arg + "' (try --help)"};
        }
    }
    return options;
}

} // namespace quillfen::cli
