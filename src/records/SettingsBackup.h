#pragma once

#include "records/AppPreferences.h"
#include "records/Date.h"
#include "records/ExclusionPattern.h"
#include "records/SyncProfile.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillfen {

struct SettingsBackup {
    std::int64_t backupVersion = 1;
    std::string appVersion;
    Date exportedAt = now();
    std::vector<SyncProfile> profiles;
    std::vector<ExclusionPattern> exclusionPatterns;
    AppPreferences preferences;

    friend bool operator==(const SettingsBackup&, const SettingsBackup&) = default;
};

} // namespace quillfen
