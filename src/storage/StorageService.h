#pragma once

#include "records/AppPreferences.h"
#include "records/ExclusionPattern.h"
#include "records/HistoryEntry.h"
#include "records/SettingsBackup.h"
#include "records/SyncProfile.h"
#include "records/Uuid.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen {

// Owner of everything kept between starts: profiles, history, schedule
// preferences and the global exclusion list, each mirrored by a JSON file in
// the container folder. Never reports an error: reads fall back to defaults
// (unreadableFiles() names the files that could not be read), failed writes
// are dropped.
class StorageService {
public:
    enum class Collection { profiles, history, preferences, exclusionPatterns };
    using Observer = std::function<void(Collection)>;

    static constexpr std::size_t kMaxHistoryEntries = 200;
    static constexpr std::string_view kProfilesFile = "profiles.json";
    static constexpr std::string_view kHistoryFile = "history.json";
    static constexpr std::string_view kPreferencesFile = "preferences.json";
    static constexpr std::string_view kExclusionsFile = "exclusions.json";

    // A readOnly store, for readers that must leave no trace (the command
    // line), creates no folder and writes nothing: no save, and no kept copy
    // of a file that could not be read.
    enum class Access { readWrite, readOnly };

    // Sets the defaults, creates the container (failure ignored) and loads.
    explicit StorageService(std::filesystem::path container, Access access = Access::readWrite);

    // The process-wide instance over defaultContainer(), made on first use.
    static StorageService& shared();
    // $XDG_DATA_HOME/Quillfen, or ~/.local/share/Quillfen.
    static std::filesystem::path defaultContainer();

    const std::filesystem::path& container() const { return container_; }

    const std::vector<SyncProfile>& profiles() const { return profiles_; }
    const std::vector<HistoryEntry>& history() const { return history_; }
    const AppPreferences& preferences() const { return preferences_; }
    const std::vector<ExclusionPattern>& exclusionPatterns() const { return exclusionPatterns_; }
    // The files the last load() found but could not read or decode, whose
    // collections hold their fallbacks.
    const std::vector<std::filesystem::path>& unreadableFiles() const { return unreadableFiles_; }

    // Each replaces one collection, tells the observers (even of an equal
    // value) and writes the collection's own file, so that file always
    // mirrors what is in memory.
    void saveProfiles(std::vector<SyncProfile> value);
    void saveHistory(std::vector<HistoryEntry> value);
    void savePreferences(AppPreferences value);
    void saveExclusionPatterns(std::vector<ExclusionPattern> value);

    int addObserver(Observer observer);
    void removeObserver(int token);

    // Reads the four files; each one that is missing or does not decode
    // takes its fallback. A file that exists but does not decode is first
    // copied beside itself as "<name>.unreadable-<UTC time>" (unless an
    // identical copy is already there, or the store is readOnly), so a later
    // save cannot destroy the only copy of what it held.
    void load();

    // The Logs folder, created (with parents) on every call when missing.
    std::filesystem::path logsDirectory() const;

    void addHistoryEntry(HistoryEntry entry);
    void deleteHistoryEntry(const Uuid& id);

    // The settings as a backup document's bytes; no value when encoding fails.
    std::optional<std::string> makeBackup() const;
    void restoreBackup(const SettingsBackup& backup);
    // A backup document read from a file the user chose; no value when the
    // file cannot be read or is not a backup document.
    static std::optional<SettingsBackup> readBackup(const std::filesystem::path& file);
    // The version a backup records: the build's, or "1.0" when it has none.
    static std::string backupAppVersion(std::string_view buildVersion);

private:
    // Assign and notify, without writing (loading must not write).
    void setProfiles(std::vector<SyncProfile> value);
    void setHistory(std::vector<HistoryEntry> value);
    void setPreferences(AppPreferences value);
    void setExclusionPatterns(std::vector<ExclusionPattern> value);

    void save(const std::vector<SyncProfile>& value, std::string_view fileName);
    void save(const std::vector<HistoryEntry>& value, std::string_view fileName);
    void save(const AppPreferences& value, std::string_view fileName);
    void save(const std::vector<ExclusionPattern>& value, std::string_view fileName);

    void notify(Collection collection);
    void write(const std::optional<std::string>& bytes, std::string_view fileName) const;
    // The file's bytes when it decodes; otherwise keeps an unreadable copy
    // and gives no value.
    template <typename Decoded, typename Decode>
    std::optional<Decoded> loadFile(std::string_view fileName, Decode decode);

    std::vector<SyncProfile> profiles_;
    std::vector<HistoryEntry> history_;
    AppPreferences preferences_;
    std::vector<ExclusionPattern> exclusionPatterns_;
    std::filesystem::path container_;
    Access access_;
    std::vector<std::filesystem::path> unreadableFiles_;
    std::map<int, Observer> observers_;
    int nextObserverToken_ = 0;
};

} // namespace quillfen
