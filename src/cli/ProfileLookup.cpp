#include "cli/ProfileLookup.h"

#include "cli/StoreReading.h"

#include <algorithm>

namespace quillfen::cli {

ProfileLookup lookupProfile(const StorageService& store, std::string_view name) {
    if (auto problem = unreadableFileProblem(store, {StorageService::kProfilesFile}))
        return {std::nullopt, std::move(*problem)};
    const auto& profiles = store.profiles();
    const auto found = std::ranges::find(profiles, name, &SyncProfile::name);
    if (found == profiles.end())
        return {std::nullopt, "No profile named " + std::string(name)};
    // Rules that silently fell back to the built-in ones would change what a
    // mirror run keeps.
    if (found->excludePatterns.empty())
        if (auto problem = unreadableFileProblem(store, {StorageService::kExclusionsFile}))
            return {std::nullopt, std::move(*problem)};
    ProfileSelection selection{found->source, found->destination, {}};
    selection.options.deleteExtras = found->deleteExtras;
    selection.options.preserveRoot = found->preserveRoot;
    selection.options.bandwidthLimit = found->bandwidthLimit;
    selection.options.excludePatterns = enabledPatternTexts(
        found->excludePatterns.empty() ? store.exclusionPatterns() : found->excludePatterns);
    return {std::move(selection), {}};
}

} // namespace quillfen::cli
