#include "storage/StorageService.h"

#include "records/JsonForms.h"
#include "storage/AtomicFile.h"
#include "storage/UnreadableCopy.h"
#include "storage/UserFolders.h"

#include <Version.h>
#include <algorithm>
#include <exception>
#include <system_error>

namespace quillfen {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kContainerName = "Quillfen";
constexpr std::string_view kLogsFolderName = "Logs";
constexpr std::string_view kFallbackAppVersion = "1.0";

// A damaged or hand-edited history must never make "Open Log" or "Delete"
// reach a file outside the Logs folder: only a plain file name is a log name.
bool isSafeLogFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string::npos;
}

std::vector<HistoryEntry> withSafeLogFileNames(std::vector<HistoryEntry> history) {
    for (auto& entry : history)
        if (entry.logFileName && !isSafeLogFileName(*entry.logFileName))
            entry.logFileName.reset();
    return history;
}

// Encoding is not expected to fail, but a failure must only drop the write.
template <typename T> std::optional<std::string> encode(const T& value) {
    try {
        return writeJson(toJson(value));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

} // namespace

StorageService::StorageService(fs::path container, Access access)
    : exclusionPatterns_(builtInPatterns()), container_(std::move(container)), access_(access) {
    if (access_ == Access::readWrite) {
        std::error_code ignored;
        fs::create_directories(container_, ignored);
    }
    load();
}

StorageService& StorageService::shared() {
    static StorageService instance(defaultContainer());
    return instance;
}

fs::path StorageService::defaultContainer() {
    return dataHomeFolder() / kContainerName;
}

void StorageService::setProfiles(std::vector<SyncProfile> value) {
    profiles_ = std::move(value);
    notify(Collection::profiles);
}

void StorageService::setHistory(std::vector<HistoryEntry> value) {
    history_ = std::move(value);
    notify(Collection::history);
}

void StorageService::setPreferences(AppPreferences value) {
    preferences_ = std::move(value);
    notify(Collection::preferences);
}

void StorageService::setExclusionPatterns(std::vector<ExclusionPattern> value) {
    exclusionPatterns_ = std::move(value);
    notify(Collection::exclusionPatterns);
}

void StorageService::saveProfiles(std::vector<SyncProfile> value) {
    setProfiles(std::move(value));
    save(profiles_, kProfilesFile);
}

void StorageService::saveHistory(std::vector<HistoryEntry> value) {
    setHistory(std::move(value));
    save(history_, kHistoryFile);
}

void StorageService::savePreferences(AppPreferences value) {
    setPreferences(std::move(value));
    save(preferences_, kPreferencesFile);
}

void StorageService::saveExclusionPatterns(std::vector<ExclusionPattern> value) {
    setExclusionPatterns(std::move(value));
    save(exclusionPatterns_, kExclusionsFile);
}

int StorageService::addObserver(Observer observer) {
    const int token = nextObserverToken_++;
    observers_.emplace(token, std::move(observer));
    return token;
}

void StorageService::removeObserver(int token) {
    observers_.erase(token);
}

void StorageService::notify(Collection collection) {
    // A copy, so that an observer may add or remove observers while told.
    const auto observers = observers_;
    for (const auto& [token, observer] : observers)
        observer(collection);
}

template <typename Decoded, typename Decode>
std::optional<Decoded> StorageService::loadFile(std::string_view fileName, Decode decode) {
    const fs::path file = container_ / fileName;
    const auto bytes = readFileBytes(file);
    std::error_code error;
    if (!bytes) {
        if (fs::symlink_status(file, error).type() != fs::file_type::not_found)
            unreadableFiles_.push_back(file);
        return std::nullopt;
    }
    auto decoded = decode(*bytes);
    if (!decoded) {
        unreadableFiles_.push_back(file);
        if (access_ == Access::readWrite)
            keepUnreadableCopy(file, *bytes);
    }
    return decoded;
}

void StorageService::load() {
    unreadableFiles_.clear();
    setProfiles(loadFile<std::vector<SyncProfile>>(kProfilesFile, decodeProfiles)
                    .value_or(std::vector<SyncProfile>{}));
    setHistory(withSafeLogFileNames(loadFile<std::vector<HistoryEntry>>(kHistoryFile, decodeHistory)
                                        .value_or(std::vector<HistoryEntry>{})));
    setPreferences(
        loadFile<AppPreferences>(kPreferencesFile, decodePreferences).value_or(AppPreferences{}));
    setExclusionPatterns(
        loadFile<std::vector<ExclusionPattern>>(kExclusionsFile, decodeExclusionPatterns)
            .value_or(builtInPatterns()));
}

void StorageService::write(const std::optional<std::string>& bytes,
                           std::string_view fileName) const {
    if (bytes && access_ == Access::readWrite)
        writeFileAtomically(container_ / fileName, *bytes);
}

void StorageService::save(const std::vector<SyncProfile>& value, std::string_view fileName) {
    write(encode(value), fileName);
}

void StorageService::save(const std::vector<HistoryEntry>& value, std::string_view fileName) {
    write(encode(value), fileName);
}

void StorageService::save(const AppPreferences& value, std::string_view fileName) {
    write(encode(value), fileName);
}

void StorageService::save(const std::vector<ExclusionPattern>& value, std::string_view fileName) {
    write(encode(value), fileName);
}

fs::path StorageService::logsDirectory() const {
    const fs::path logs = container_ / kLogsFolderName;
    std::error_code ignored;
    fs::create_directories(logs, ignored);
    return logs;
}

void StorageService::addHistoryEntry(HistoryEntry entry) {
    auto history = history_;
    history.insert(history.begin(), std::move(entry));
    if (history.size() > kMaxHistoryEntries)
        history.resize(kMaxHistoryEntries);
    saveHistory(std::move(history));
}

void StorageService::deleteHistoryEntry(const Uuid& id) {
    auto history = history_;
    std::erase_if(history, [&id](const HistoryEntry& entry) { return entry.id == id; });
    saveHistory(std::move(history));
}

std::optional<std::string> StorageService::makeBackup() const {
    SettingsBackup backup;
    backup.backupVersion = 1;
    backup.appVersion = backupAppVersion(kAppVersion);
    backup.exportedAt = now();
    backup.profiles = profiles_;
    backup.exclusionPatterns = exclusionPatterns_;
    backup.preferences = preferences_;
    return encode(backup);
}

void StorageService::restoreBackup(const SettingsBackup& backup) {
    saveProfiles(backup.profiles);
    saveExclusionPatterns(backup.exclusionPatterns);
    savePreferences(backup.preferences);
}

std::optional<SettingsBackup> StorageService::readBackup(const fs::path& file) {
    const auto bytes = readFileBytes(file);
    return bytes ? decodeSettingsBackup(*bytes) : std::nullopt;
}

std::string StorageService::backupAppVersion(std::string_view buildVersion) {
    return std::string(buildVersion.empty() ? kFallbackAppVersion : buildVersion);
}

} // namespace quillfen
