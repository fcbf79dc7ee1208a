#include "cli/Commands.h"
#include "cli/StoreReading.h"
#include "cli/TerminalText.h"
#include "records/JsonForms.h"

#include <iostream>

namespace quillfen::cli {

int runProfiles(const std::vector<std::string>& args) {
    const auto options = parseStoreVerbOptions(args, LimitOption::refused);
    const auto store = openStoreForReading();
    if (!checkReadable(store, {StorageService::kProfilesFile}))
        return kExitRunFailed;
    const auto& profiles = store.profiles();
    if (options.json) {
        std::cout << writeJson(toJson(profiles)) << '\n';
        return kExitSuccess;
    }
    if (profiles.empty())
        std::cout << "No profiles\n";
    for (const auto& profile : profiles)
        std::cout << terminalSafe(profile.name) << "\n  " << terminalSafe(profile.source) << " → "
                  << terminalSafe(profile.destination) << '\n';
    return kExitSuccess;
}

} // namespace quillfen::cli
