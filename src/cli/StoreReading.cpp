#include "cli/StoreReading.h"

#include "cli/Commands.h"
#include "cli/TerminalText.h"

#include <algorithm>
#include <charconv>
#include <iostream>

namespace quillfen::cli {
namespace {

std::size_t parseLimit(const std::string& text) {
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size())
        throw UsageError{"--limit needs a whole number, not '" + text + "'"};
    return value;
}

} // namespace

StorageService openStoreForReading() {
    return StorageService(StorageService::defaultContainer(), StorageService::Access::readOnly);
}

std::optional<std::string>
unreadableFileProblem(const StorageService& store,
                      std::initializer_list<std::string_view> fileNames) {
    for (const auto& file : store.unreadableFiles()) {
        if (std::ranges::find(fileNames, file.filename().string()) != fileNames.end())
            return "cannot read " + terminalSafe(file.string()) +
                   ": the file is damaged or unreadable";
    }
    return std::nullopt;
}

bool checkReadable(const StorageService& store, std::initializer_list<std::string_view> fileNames) {
    const auto problem = unreadableFileProblem(store, fileNames);
    if (problem)
        std::cerr << "quillfen-cli: " << *problem << '\n';
    return !problem;
}

StoreVerbOptions parseStoreVerbOptions(const std::vector<std::string>& args, LimitOption limit) {
    StoreVerbOptions options;
    for (std::size_t index = 0; index < args.size(); ++index) {
        const std::string& arg = args[index];
        if (arg == "--json") {
            options.json = true;
        } else if (limit == LimitOption::accepted && arg == "--limit") {
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
