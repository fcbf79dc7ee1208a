#pragma once

#include "records/SyncOptions.h"
#include "storage/StorageService.h"

#include <optional>
#include <string>
#include <string_view>

namespace quillfen::cli {

// What a run needs from a stored profile: its folders and its options, with
// the exclusion rules as texts of the enabled ones.
struct ProfileSelection {
    std::string source;
    std::string destination;
    SyncOptions options;
};

// Either a selection or the message to print ("No profile named NAME", or
// why a stored file it needs could not be read).
struct ProfileLookup {
    std::optional<ProfileSelection> selection;
    std::string errorMessage;
};

// The first stored profile with this exact name. Its rules are its own list,
// or, when that list is empty, the stored global exclusion list, as loading a
// profile in the window does. verify is left false: profiles do not store it.
ProfileLookup lookupProfile(const StorageService& store, std::string_view name);

} // namespace quillfen::cli
