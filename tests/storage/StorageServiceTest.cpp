#include "storage/StorageService.h"

#include "StoreTestSupport.h"
#include "TempDir.h"
#include "records/JsonForms.h"

#include <Version.h>
#include <gtest/gtest.h>

namespace quillfen {
namespace {

using test::folderNames;
using test::namesStartingWith;
using test::readFile;
using test::TempDir;
using Collection = StorageService::Collection;

Date wholeSeconds(Date date) {
    return std::chrono::floor<std::chrono::seconds>(date);
}

HistoryEntry entryNamed(const std::string& source) {
    HistoryEntry entry;
    entry.startedAt = wholeSeconds(now());
    entry.source = source;
    entry.destination = "/dst";
    entry.logFileName = entry.id.toString() + ".log";
    return entry;
}

SyncProfile profileNamed(const std::string& name) {
    SyncProfile profile;
    profile.name = name;
    profile.source = "/home/ada/" + name;
    profile.destination = "/media/" + name;
    profile.createdAt = wholeSeconds(now());
    profile.excludePatterns = {ExclusionPattern{Uuid::random(), "*.tmp", "*.tmp", true, false}};
    return profile;
}

TEST(StorageServiceTest, FirstStartCreatesTheContainerAndWritesNothing) {
    TempDir dir;
    const auto container = dir / "share/Quillfen";
    StorageService store(container);
    EXPECT_TRUE(std::filesystem::is_directory(container));
    EXPECT_TRUE(store.profiles().empty());
    EXPECT_TRUE(store.history().empty());
    EXPECT_EQ(store.preferences(), AppPreferences{});
    EXPECT_EQ(store.exclusionPatterns(), builtInPatterns());
    EXPECT_EQ(store.exclusionPatterns().size(), 12u);
    EXPECT_TRUE(folderNames(container).empty());

    EXPECT_EQ(store.logsDirectory(), container / "Logs");
    EXPECT_TRUE(std::filesystem::is_directory(container / "Logs"));

    // A reader that must leave no trace creates nothing.
    StorageService reader(dir / "other/Quillfen", StorageService::ContainerCreation::leaveMissing);
    EXPECT_FALSE(std::filesystem::exists(dir / "other"));
    EXPECT_EQ(reader.exclusionPatterns(), builtInPatterns());
}

TEST(StorageServiceTest, DefaultContainerFollowsXdgDataHome) {
    const std::string saved = std::getenv("XDG_DATA_HOME");
    ::setenv("XDG_DATA_HOME", "/data/home", 1);
    EXPECT_EQ(StorageService::defaultContainer(), "/data/home/Quillfen");
    // A relative value is not allowed by the XDG rules and is ignored.
    ::setenv("XDG_DATA_HOME", "relative", 1);
    EXPECT_EQ(StorageService::defaultContainer(),
              std::filesystem::path(std::getenv("HOME")) / ".local/share/Quillfen");
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(StorageService::defaultContainer(),
              std::filesystem::path(std::getenv("HOME")) / ".local/share/Quillfen");
    ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
}

TEST(StorageServiceTest, SavedCollectionsLoadBackInANewStore) {
    TempDir dir;
    AppPreferences preferences;
    preferences.scheduleFrequency = ScheduleFrequency::weekly;
    preferences.scheduledProfileId = Uuid::random();
    {
        StorageService store(dir.path());
        store.setProfiles({profileNamed("Photos"), profileNamed("Music")});
        store.save(store.profiles(), StorageService::kProfilesFile);
        store.setPreferences(preferences);
        store.save(store.preferences(), StorageService::kPreferencesFile);
        auto patterns = builtInPatterns();
        patterns[6].enabled = true;
        store.setExclusionPatterns(patterns);
        store.save(store.exclusionPatterns(), StorageService::kExclusionsFile);
        store.addHistoryEntry(entryNamed("/a"));
    }
    StorageService reloaded(dir.path());
    ASSERT_EQ(reloaded.profiles().size(), 2u);
    EXPECT_EQ(reloaded.profiles()[1].name, "Music");
    EXPECT_EQ(reloaded.preferences(), preferences);
    EXPECT_TRUE(reloaded.exclusionPatterns()[6].enabled);
    ASSERT_EQ(reloaded.history().size(), 1u);
    EXPECT_EQ(readFile(dir / "profiles.json"), writeJson(toJson(reloaded.profiles())));
    EXPECT_EQ(folderNames(dir.path()),
              (std::vector<std::string>{"exclusions.json", "history.json", "preferences.json",
                                        "profiles.json"}));
}

TEST(StorageServiceTest, EachDamagedFileFallsBackAloneAndIsKeptOnce) {
    TempDir dir;
    const std::string badHistory =
        R"([{"id":"9A8B7C6D-5E4F-4A3B-8C2D-1E0F9A8B7C01","startedAt":"2026-03-01T15:00:00Z",)"
        R"("source":"/a","destination":"/b","isDryRun":false,)"
        R"("result":{"status":"exploded","filesProcessed":1,"filesCopied":1,"filesDeleted":0,)"
        R"("bytesTransferred":1,"duration":1}}])";
    const std::string badPreferences =
        R"({"scheduleFrequency":"daily","scheduleHour":7,"scheduleMinute":0,"scheduleWeekday":2})";
    dir.write("profiles.json", "[{\"name\": \"truncated");
    dir.write("history.json", badHistory);
    dir.write("preferences.json", badPreferences);
    dir.write("exclusions.json", "{}");
    {
        StorageService store(dir.path());
        EXPECT_TRUE(store.profiles().empty());
        EXPECT_TRUE(store.history().empty());
        EXPECT_EQ(store.preferences(), AppPreferences{});
        EXPECT_EQ(store.exclusionPatterns(), builtInPatterns());
    }
    for (const auto* name :
         {"profiles.json", "history.json", "preferences.json", "exclusions.json"}) {
        const auto copies = namesStartingWith(dir.path(), std::string(name) + ".unreadable-");
        ASSERT_EQ(copies.size(), 1u) << name;
        EXPECT_EQ(readFile(dir / copies[0]), readFile(dir / name)) << name;
        EXPECT_EQ(copies[0].size(), std::string(name).size() + 28) << copies[0];
    }

    // A second start with the same damage keeps no second copy; new damage
    // is kept beside the first.
    StorageService again(dir.path());
    EXPECT_EQ(namesStartingWith(dir.path(), "history.json.unreadable-").size(), 1u);
    dir.write("history.json", "[oops");
    StorageService third(dir.path());
    EXPECT_EQ(namesStartingWith(dir.path(), "history.json.unreadable-").size(), 2u);

    // The next run's entry is then the only one written, while the kept copy
    // still holds the old history.
    third.addHistoryEntry(entryNamed("/next"));
    EXPECT_EQ(decodeHistory(readFile(dir / "history.json"))->size(), 1u);
    EXPECT_EQ(readFile(dir / namesStartingWith(dir.path(), "history.json.unreadable-")[0]),
              badHistory);
}

TEST(StorageServiceTest, MissingOrEmptyFilesAreNotCopied) {
    TempDir dir;
    dir.write("history.json", "");
    std::filesystem::create_directory(dir / "profiles.json");
    StorageService store(dir.path());
    EXPECT_TRUE(store.history().empty());
    EXPECT_TRUE(store.profiles().empty());
    EXPECT_EQ(folderNames(dir.path()), (std::vector<std::string>{"history.json", "profiles.json"}));
}

TEST(StorageServiceTest, UnsafeLogFileNamesReadAsNoLogFile) {
    TempDir dir;
    std::vector<HistoryEntry> entries;
    for (const auto* name : {"", ".", "..", "../../etc/passwd", "sub/run.log", "/abs.log",
                             "good.log", "..hidden.log"}) {
        auto entry = entryNamed("/src");
        entry.logFileName = name;
        entries.push_back(entry);
    }
    auto withNul = entryNamed("/src");
    withNul.logFileName = std::string("run\0.log", 8);
    entries.push_back(withNul);
    dir.write("history.json", writeJson(toJson(entries)));

    StorageService store(dir.path());
    ASSERT_EQ(store.history().size(), entries.size());
    std::vector<std::optional<std::string>> names;
    for (const auto& entry : store.history())
        names.push_back(entry.logFileName);
    const std::vector<std::optional<std::string>> expected = {
        std::nullopt, std::nullopt, std::nullopt,   std::nullopt, std::nullopt,
        std::nullopt, "good.log",   "..hidden.log", std::nullopt};
    EXPECT_EQ(names, expected);
}

TEST(StorageServiceTest, HistoryKeepsTheNewest200NewestFirst) {
    TempDir dir;
    std::vector<HistoryEntry> stored;
    for (int index = 198; index >= 0; --index)
        stored.push_back(entryNamed("/run" + std::to_string(index)));
    dir.write("history.json", writeJson(toJson(stored)));
    StorageService store(dir.path());
    store.addHistoryEntry(entryNamed("/run199"));
    EXPECT_EQ(store.history().size(), 200u);
    store.addHistoryEntry(entryNamed("/run200"));
    ASSERT_EQ(store.history().size(), 200u);
    EXPECT_EQ(store.history().front().source, "/run200");
    EXPECT_EQ(store.history()[1].source, "/run199");
    EXPECT_EQ(store.history().back().source, "/run1");
    const auto written = decodeHistory(readFile(dir / "history.json"));
    ASSERT_TRUE(written);
    EXPECT_EQ(*written, store.history());
}

TEST(StorageServiceTest, DeleteHistoryEntryRemovesEveryMatchAndAlwaysRewrites) {
    TempDir dir;
    auto first = entryNamed("/first");
    auto twin = first;
    twin.source = "/twin";
    const auto middle = entryNamed("/middle");
    // Compact, as a hand edit might leave it: a rewrite is visible.
    dir.write("history.json", toJson(std::vector{first, middle, twin}).dump());
    StorageService store(dir.path());

    store.deleteHistoryEntry(Uuid::random());
    EXPECT_EQ(store.history().size(), 3u);
    EXPECT_EQ(readFile(dir / "history.json"), writeJson(toJson(store.history())));

    store.deleteHistoryEntry(first.id);
    EXPECT_EQ(store.history(), std::vector{middle});
    EXPECT_EQ(decodeHistory(readFile(dir / "history.json")), std::vector{middle});
}

TEST(StorageServiceTest, FailedSaveKeepsTheFileAndTheNewValueInMemory) {
    TempDir dir;
    StorageService store(dir.path());
    dir.write("history.json/keep", "kept");
    store.addHistoryEntry(entryNamed("/a"));
    EXPECT_EQ(store.history().size(), 1u);
    EXPECT_EQ(readFile(dir / "history.json/keep"), "kept");
    EXPECT_EQ(folderNames(dir.path()), std::vector<std::string>{"history.json"});
}

TEST(StorageServiceTest, ObserversHearEveryAssignment) {
    TempDir dir;
    StorageService store(dir.path());
    std::vector<Collection> heard;
    const int token =
        store.addObserver([&](Collection collection) { heard.push_back(collection); });
    store.setProfiles(store.profiles());
    store.setProfiles(store.profiles());
    store.setHistory({});
    store.setPreferences(store.preferences());
    store.setExclusionPatterns(store.exclusionPatterns());
    store.addHistoryEntry(entryNamed("/a"));
    store.deleteHistoryEntry(Uuid::random());
    store.load();
    EXPECT_EQ(heard, (std::vector{Collection::profiles, Collection::profiles, Collection::history,
                                  Collection::preferences, Collection::exclusionPatterns,
                                  Collection::history, Collection::history, Collection::profiles,
                                  Collection::history, Collection::preferences,
                                  Collection::exclusionPatterns}));

    // An observer may remove itself while being told.
    heard.clear();
    int selfToken = -1;
    selfToken = store.addObserver([&](Collection) { store.removeObserver(selfToken); });
    store.removeObserver(token);
    store.setHistory({});
    store.setHistory({});
    EXPECT_TRUE(heard.empty());
}

TEST(StorageServiceTest, BackupRoundTripAndRestoreLeavesHistoryAlone) {
    TempDir dir;
    StorageService source(dir / "a");
    source.setProfiles({profileNamed("Photos")});
    auto preferences = AppPreferences{};
    preferences.scheduleFrequency = ScheduleFrequency::daily;
    preferences.scheduledProfileId = source.profiles()[0].id;
    source.setPreferences(preferences);
    const auto bytes = source.makeBackup();
    ASSERT_TRUE(bytes);
    const auto backup = decodeSettingsBackup(*bytes);
    ASSERT_TRUE(backup);
    EXPECT_EQ(backup->backupVersion, 1);
    EXPECT_EQ(backup->appVersion, StorageService::backupAppVersion(kAppVersion));
    EXPECT_LE(std::chrono::abs(backup->exportedAt - now()), std::chrono::seconds(5));
    EXPECT_EQ(backup->profiles, source.profiles());
    EXPECT_EQ(backup->exclusionPatterns, source.exclusionPatterns());
    EXPECT_EQ(backup->preferences, preferences);

    const auto file = dir.write("Quillfen-settings-2026-03-01.json", *bytes);
    EXPECT_EQ(StorageService::readBackup(file), backup);

    const auto target = dir / "b";
    StorageService restored(target);
    restored.addHistoryEntry(entryNamed("/kept"));
    const auto historyBytes = readFile(target / "history.json");
    dir.write("b/Logs/run.log", "log");
    std::vector<Collection> heard;
    restored.addObserver([&](Collection collection) { heard.push_back(collection); });
    restored.restoreBackup(*backup);
    EXPECT_EQ(heard, (std::vector{Collection::profiles, Collection::exclusionPatterns,
                                  Collection::preferences}));
    EXPECT_EQ(readFile(target / "history.json"), historyBytes);
    EXPECT_EQ(readFile(target / "Logs/run.log"), "log");
    StorageService reloaded(target);
    EXPECT_EQ(reloaded.profiles(), backup->profiles);
    EXPECT_EQ(reloaded.exclusionPatterns(), backup->exclusionPatterns);
    EXPECT_EQ(reloaded.preferences(), preferences);
    EXPECT_EQ(reloaded.history().size(), 1u);
}

TEST(StorageServiceTest, ReadBackupRejectsWhatIsNotABackup) {
    TempDir dir;
    StorageService store(dir / "store");
    store.setProfiles({profileNamed("Photos")});
    store.save(store.profiles(), StorageService::kProfilesFile);
    EXPECT_EQ(StorageService::readBackup(dir / "store/profiles.json"), std::nullopt);
    EXPECT_EQ(StorageService::readBackup(dir / "missing.json"), std::nullopt);
    EXPECT_EQ(StorageService::readBackup(dir / "store"), std::nullopt);
    EXPECT_EQ(StorageService::readBackup(dir.write("text.json", "not json")), std::nullopt);

    // Any version number is accepted.
    auto document = nlohmann::json::parse(*store.makeBackup());
    document["backupVersion"] = 7;
    document["appVersion"] = "9.9";
    const auto accepted = StorageService::readBackup(dir.write("v7.json", document.dump()));
    ASSERT_TRUE(accepted);
    EXPECT_EQ(accepted->backupVersion, 7);
    document.erase("preferences");
    EXPECT_EQ(StorageService::readBackup(dir.write("nopref.json", document.dump())), std::nullopt);
}

TEST(StorageServiceTest, BackupVersionFallsBackWhenTheBuildHasNone) {
    EXPECT_EQ(StorageService::backupAppVersion(""), "1.0");
    EXPECT_EQ(StorageService::backupAppVersion("2.4.1"), "2.4.1");
}

} // namespace
} // namespace quillfen
