#pragma once

#include "records/AppPreferences.h"
#include "records/ExclusionPattern.h"
#include "records/HistoryEntry.h"
#include "records/SettingsBackup.h"
#include "records/SyncProfile.h"
#include "records/SyncResult.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen {

// Raised while decoding when a document breaks the reading rules; the public
// decode functions turn it into "no value".
class JsonFormError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

nlohmann::json toJson(const ExclusionPattern& value);
nlohmann::json toJson(const SyncProfile& value);
nlohmann::json toJson(const SyncResult& value);
nlohmann::json toJson(const HistoryEntry& value);
nlohmann::json toJson(const AppPreferences& value);
nlohmann::json toJson(const SettingsBackup& value);

template <typename T> nlohmann::json toJson(const std::vector<T>& values) {
    auto array = nlohmann::json::array();
    for (const auto& value : values)
        array.push_back(toJson(value));
    return array;
}

// Each throws JsonFormError when the object breaks a reading rule.
ExclusionPattern exclusionPatternFromJson(const nlohmann::json& json);
SyncProfile syncProfileFromJson(const nlohmann::json& json);
SyncResult syncResultFromJson(const nlohmann::json& json);
HistoryEntry historyEntryFromJson(const nlohmann::json& json);
AppPreferences appPreferencesFromJson(const nlohmann::json& json);
SettingsBackup settingsBackupFromJson(const nlohmann::json& json);

// The stored layout: keys sorted, two-space indent, "key" : value, no final
// line feed. Text that is not valid UTF-8 is written with replacement
// characters rather than failing.
std::string writeJson(const nlohmann::json& json);

// Whole documents as the store and the backup keep them. No value when the
// text is not JSON or any record in it breaks a reading rule.
std::optional<std::vector<SyncProfile>> decodeProfiles(std::string_view text);
std::optional<std::vector<HistoryEntry>> decodeHistory(std::string_view text);
std::optional<std::vector<ExclusionPattern>> decodeExclusionPatterns(std::string_view text);
std::optional<AppPreferences> decodePreferences(std::string_view text);
std::optional<SettingsBackup> decodeSettingsBackup(std::string_view text);

} // namespace quillfen
