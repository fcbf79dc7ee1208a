#include "records/JsonForms.h"

#include "records/JsonFields.h"

namespace quillfen {

using nlohmann::json;
using namespace json_fields;

namespace {

template <typename T, typename Read> std::vector<T> readArray(const json& array, Read read) {
    std::vector<T> values;
    for (const auto& element : requireArray(array, "list"))
        values.push_back(read(element));
    return values;
}

std::int64_t optionalInt(const json& object, const char* key) {
    const auto* member = optionalMember(object, key);
    return member ? toInt(*member, key) : 0;
}

int requiredSmallInt(const json& object, const char* key) {
    const auto value = requiredInt(object, key);
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        throw JsonFormError(std::string(key) + " is out of range");
    return int(value);
}

// Parses a whole document and hands it to `read`; any breach of the rules,
// in JSON syntax or in a record, gives no value.
template <typename T, typename Read>
std::optional<T> decodeDocument(std::string_view text, Read read) {
    try {
        return read(json::parse(text));
    } catch (const json::exception&) {
        return std::nullopt;
    } catch (const JsonFormError&) {
        return std::nullopt;
    }
}

} // namespace

json toJson(const ExclusionPattern& value) {
    return json{{"id", value.id.toString()},
                {"pattern", value.pattern},
                {"label", value.label},
                {"enabled", value.enabled},
                {"isBuiltIn", value.isBuiltIn}};
}

json toJson(const SyncProfile& value) {
    return json{{"id", value.id.toString()},
                {"name", value.name},
                {"source", value.source},
                {"destination", value.destination},
                {"deleteExtras", value.deleteExtras},
                {"preserveRoot", value.preserveRoot},
                {"bandwidthLimit", value.bandwidthLimit},
                {"excludePatterns", toJson(value.excludePatterns)},
                {"createdAt", formatIsoDate(value.createdAt)}};
}

json toJson(const SyncResult& value) {
    json object{{"status", toString(value.status)},
                {"filesProcessed", value.filesProcessed},
                {"filesCopied", value.filesCopied},
                {"filesDeleted", value.filesDeleted},
                {"bytesTransferred", value.bytesTransferred},
                {"duration", value.duration},
                {"isDryRun", value.isDryRun},
                {"failedCount", value.failedCount},
                {"filesExcluded", value.filesExcluded},
                {"verificationFailures", value.verificationFailures}};
    if (value.errorMessage)
        object["errorMessage"] = *value.errorMessage;
    return object;
}

json toJson(const HistoryEntry& value) {
    json object{{"id", value.id.toString()},
                {"startedAt", formatIsoDate(value.startedAt)},
                {"source", value.source},
                {"destination", value.destination},
                {"isDryRun", value.isDryRun}};
    if (value.endedAt)
        object["endedAt"] = formatIsoDate(*value.endedAt);
    if (value.result)
        object["result"] = toJson(*value.result);
    if (value.logFileName)
        object["logFileName"] = *value.logFileName;
    return object;
}

json toJson(const AppPreferences& value) {
    json object{{"scheduleFrequency", toString(value.scheduleFrequency)},
                {"scheduleHour", value.scheduleHour},
                {"scheduleMinute", value.scheduleMinute},
                {"scheduleWeekday", value.scheduleWeekday},
                {"scheduleSilent", value.scheduleSilent}};
    if (value.scheduledProfileId)
        object["scheduledProfileId"] = value.scheduledProfileId->toString();
    return object;
}

json toJson(const SettingsBackup& value) {
    return json{{"backupVersion", value.backupVersion},
                {"appVersion", value.appVersion},
                {"exportedAt", formatIsoDate(value.exportedAt)},
                {"profiles", toJson(value.profiles)},
                {"exclusionPatterns", toJson(value.exclusionPatterns)},
                {"preferences", toJson(value.preferences)}};
}

ExclusionPattern exclusionPatternFromJson(const json& object) {
    requireObject(object, "exclusion pattern");
    return ExclusionPattern{requiredUuid(object, "id"), requiredString(object, "pattern"),
                            requiredString(object, "label"), requiredBool(object, "enabled"),
                            requiredBool(object, "isBuiltIn")};
}

SyncProfile syncProfileFromJson(const json& object) {
    requireObject(object, "profile");
    return SyncProfile{
        requiredUuid(object, "id"),
        requiredString(object, "name"),
        requiredString(object, "source"),
        requiredString(object, "destination"),
        requiredBool(object, "deleteExtras"),
        requiredBool(object, "preserveRoot"),
        requiredInt(object, "bandwidthLimit"),
        readArray<ExclusionPattern>(requiredMember(object, "excludePatterns"),
                                    exclusionPatternFromJson),
        requiredDate(object, "createdAt"),
    };
}

SyncResult syncResultFromJson(const json& object) {
    requireObject(object, "result");
    SyncResult result;
    const auto status = syncStatusFromString(requiredString(object, "status"));
    if (!status)
        throw JsonFormError("unknown status");
    result.status = *status;
    result.filesProcessed = requiredInt(object, "filesProcessed");
    result.filesCopied = requiredInt(object, "filesCopied");
    result.filesDeleted = requiredInt(object, "filesDeleted");
    result.bytesTransferred = requiredInt(object, "bytesTransferred");
    result.duration = toDouble(requiredMember(object, "duration"), "duration");
    if (const auto* isDryRun = optionalMember(object, "isDryRun"))
        result.isDryRun = toBool(*isDryRun, "isDryRun");
    result.failedCount = optionalInt(object, "failedCount");
    result.filesExcluded = optionalInt(object, "filesExcluded");
    result.verificationFailures = optionalInt(object, "verificationFailures");
    if (const auto* message = optionalMember(object, "errorMessage"))
        result.errorMessage = toStringValue(*message, "errorMessage");
    return result;
}

HistoryEntry historyEntryFromJson(const json& object) {
    requireObject(object, "history entry");
    HistoryEntry entry;
    entry.id = requiredUuid(object, "id");
    entry.startedAt = requiredDate(object, "startedAt");
    if (const auto* endedAt = optionalMember(object, "endedAt"))
        entry.endedAt = toDate(*endedAt, "endedAt");
    entry.source = requiredString(object, "source");
    entry.destination = requiredString(object, "destination");
    if (const auto* result = optionalMember(object, "result"))
        entry.result = syncResultFromJson(*result);
    entry.isDryRun = requiredBool(object, "isDryRun");
    if (const auto* logFileName = optionalMember(object, "logFileName"))
        entry.logFileName = toStringValue(*logFileName, "logFileName");
    return entry;
}

AppPreferences appPreferencesFromJson(const json& object) {
    requireObject(object, "preferences");
    AppPreferences preferences;
    if (const auto* id = optionalMember(object, "scheduledProfileId"))
        preferences.scheduledProfileId = toUuid(*id, "scheduledProfileId");
    const auto frequency = scheduleFrequencyFromString(requiredString(object, "scheduleFrequency"));
    if (!frequency)
        throw JsonFormError("unknown schedule frequency");
    preferences.scheduleFrequency = *frequency;
    preferences.scheduleHour = requiredSmallInt(object, "scheduleHour");
    preferences.scheduleMinute = requiredSmallInt(object, "scheduleMinute");
    preferences.scheduleWeekday = requiredSmallInt(object, "scheduleWeekday");
    preferences.scheduleSilent = requiredBool(object, "scheduleSilent");
    return preferences;
}

SettingsBackup settingsBackupFromJson(const json& object) {
    requireObject(object, "backup");
    return SettingsBackup{
        requiredInt(object, "backupVersion"),
        requiredString(object, "appVersion"),
        requiredDate(object, "exportedAt"),
        readArray<SyncProfile>(requiredMember(object, "profiles"), syncProfileFromJson),
        readArray<ExclusionPattern>(requiredMember(object, "exclusionPatterns"),
                                    exclusionPatternFromJson),
        appPreferencesFromJson(requiredMember(object, "preferences")),
    };
}

std::optional<std::vector<SyncProfile>> decodeProfiles(std::string_view text) {
    return decodeDocument<std::vector<SyncProfile>>(
        text, [](const json& j) { return readArray<SyncProfile>(j, syncProfileFromJson); });
}

std::optional<std::vector<HistoryEntry>> decodeHistory(std::string_view text) {
    return decodeDocument<std::vector<HistoryEntry>>(
        text, [](const json& j) { return readArray<HistoryEntry>(j, historyEntryFromJson); });
}

std::optional<std::vector<ExclusionPattern>> decodeExclusionPatterns(std::string_view text) {
    return decodeDocument<std::vector<ExclusionPattern>>(text, [](const json& j) {
        return readArray<ExclusionPattern>(j, exclusionPatternFromJson);
    });
}

std::optional<AppPreferences> decodePreferences(std::string_view text) {
    return decodeDocument<AppPreferences>(text, appPreferencesFromJson);
}

std::optional<SettingsBackup> decodeSettingsBackup(std::string_view text) {
    return decodeDocument<SettingsBackup>(text, settingsBackupFromJson);
}

} // namespace quillfen
