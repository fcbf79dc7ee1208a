#include "cli/RunRequest.h"

#include "cli/ArgumentParser.h"
#include "cli/Commands.h"
#include "cli/ProfileLookup.h"
#include "records/ExclusionPattern.h"

#include <charconv>
#include <limits>

namespace quillfen::cli {
namespace {

// A whole number of at least `minimum`, for the option `name`.
std::int64_t parseNumber(const std::string& text, const std::string& name, std::int64_t minimum,
                         const std::string& unit) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < minimum)
        throw UsageError{name + " needs a whole number" + unit + ", not '" + text + "'"};
    return value;
}

} // namespace

RunRequest parseRunRequest(const std::vector<std::string>& args) {
    RunRequest request;
    bool builtIn = false;
    std::optional<std::string> limit;
    std::optional<std::string> maxDeletions;
    std::optional<std::string> profile;
    std::vector<std::string> patterns;
    ArgumentParser parser;
    parser.addFlag("--mirror", request.options.deleteExtras);
    parser.addFlag("--preserve-root", request.options.preserveRoot);
    parser.addFlag("--verify", request.options.verify);
    parser.addOption("--bwlimit", limit);
    parser.addOption("--max-delete", maxDeletions);
    parser.addFlag("--builtin", builtIn);
    parser.addList("--exclude", patterns);
    parser.addFlag("--json", request.json);
    parser.addFlag("--quiet", request.quiet);
    parser.addOption("--profile", profile);
    const auto folders = parser.parseAny(args);
    if (profile) {
        if (profile->empty())
            throw UsageError{"--profile needs a profile name"};
        request.profile = *profile;
        ArgumentParser::expectPositionals(folders, {});
    } else {
        ArgumentParser::expectPositionals(folders, {"SOURCE", "DESTINATION"});
        if (folders[0].empty() || folders[1].empty())
            throw UsageError{"SOURCE and DESTINATION must not be empty"};
        request.source = folders[0];
        request.destination = folders[1];
    }
    if (limit)
        request.options.bandwidthLimit = parseNumber(
            *limit, "--bwlimit", std::numeric_limits<std::int64_t>::min(), " of KB per second");
    if (maxDeletions)
        request.options.maxDeletions = parseNumber(*maxDeletions, "--max-delete", 0, "");
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
