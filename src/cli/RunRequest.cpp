#include "cli/RunRequest.h"

#include "cli/ArgumentParser.h"
#include "cli/Commands.h"
#include "cli/ProfileLookup.h"
#include "records/ExclusionPattern.h"

#include <charconv>

namespace quillfen::cli {
namespace {

std::int64_t parseLimit(const std::string& text) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        throw UsageError{"--bwlimit needs a whole number of KB per second, not '" + text + "'"};
    return value;
}

} // namespace

RunRequest parseRunRequest(const std::vector<std::string>& args) {
    RunRequest request;
    bool builtIn = false;
    std::string limit;
    std::vector<std::string> patterns;
    ArgumentParser parser;
    parser.addFlag("--mirror", request.options.deleteExtras);
    parser.addFlag("--preserve-root", request.options.preserveRoot);
    parser.addFlag("--verify", request.options.verify);
    parser.addOption("--bwlimit", limit);
    parser.addFlag("--builtin", builtIn);
    parser.addList("--exclude", patterns);
    parser.addFlag("--json", request.json);
    parser.addFlag("--quiet", request.quiet);
    parser.addOption("--profile", request.profile);
    const auto folders = parser.parseAny(args);
    if (!request.profile.empty()) {
        ArgumentParser::expectPositionals(folders, {});
    } else {
        ArgumentParser::expectPositionals(folders, {"SOURCE", "DESTINATION"});
        if (folders[0].empty() || folders[1].empty())
            throw UsageError{"SOURCE and DESTINATION must not be empty"};
        request.source = folders[0];
        request.destination = folders[1];
    }
    if (!limit.empty())
        request.options.bandwidthLimit = parseLimit(limit);
    // The built-in rules come first, as they do in the stored rule list.
    if (builtIn)
        request.options.excludePatterns = enabledPatternTexts(builtInPatterns());
    request.options.excludePatterns.insert(request.options.excludePatterns.end(), patterns.begin(),
                                           patterns.end());
    return request;
}

std::optional<std::string> applyProfile(RunRequest& request, const StorageService& store) {
    const auto lookup = lookupProfile(store, request.profile);
    if (!lookup.selection)
        return lookup.errorMessage;
    const ProfileSelection& profile = *lookup.selection;
    SyncOptions& options = request.options;
    request.source = profile.source;
    request.destination = profile.destination;
    options.deleteExtras = options.deleteExtras || profile.options.deleteExtras;
    options.preserveRoot = options.preserveRoot || profile.options.preserveRoot;
    if (options.bandwidthLimit == 0)
        options.bandwidthLimit = profile.options.bandwidthLimit;
    auto patterns = profile.options.excludePatterns;
    patterns.insert(patterns.end(), options.excludePatterns.begin(), options.excludePatterns.end());
    options.excludePatterns = std::move(patterns);
    return std::nullopt;
}

} // namespace quillfen::cli
