#include "storage/StorageService.h"

#include "RecordBuilders.h"
#include "TempDir.h"
#include "records/JsonForms.h"
#include "storage/AtomicFile.h"
#include "storage/UnreadableCopy.h"

#include <Version.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using test::folderNames;
using test::readFile;
using test::TempDir;
using Collection = StorageService::Collection;
using Names = std::vector<std::string>;

HistoryEntry entryNamed(const std::string& source) {
    HistoryEntry entry{.startedAt = std::chrono::floor<std::chrono::seconds>(now()),
                       .source = source};
    entry.logFileName = entry.id.toString() + ".log";
    return entry;
}

TEST(StorageServiceTest, FirstStartCreatesTheContainerAndWritesNothing) {
    TempDir dir;
    const auto container = dir / "share/Quillfen";
    StorageService store(container);
    EXPECT_TRUE(store.profiles().empty() && store.history().empty());
    EXPECT_EQ(store.preferences(), AppPreferences{});
    EXPECT_EQ(store.exclusionPatterns(), builtInPatterns());
    EXPECT_TRUE(folderNames(container).empty());
    EXPECT_EQ(store.logsDirectory(), container / "Logs");
    EXPECT_TRUE(fs::is_directory(container / "Logs"));
    // A reader that must leave no trace creates nothing.
    StorageService reader(dir / "other/Quillfen", StorageService::Access::readOnly);
    EXPECT_FALSE(fs::exists(dir / "other"));
}

TEST(StorageServiceTest, EachDamagedFileFallsBackAloneAndIsKeptOnce) {
    TempDir dir;
    // Well-formed JSON with one bad value each.
    const std::string badHistory =
        R"([{"id":"9A8B7C6D-5E4F-4A3B-8C2D-1E0F9A8B7C01","startedAt":"2026-03-01T15:00:00Z",)"
        R"("source":"/a","destination":"/b","isDryRun":false,)"
        R"("result":{"status":"exploded","filesProcessed":1,"filesCopied":1,"filesDeleted":0,)"
        R"("bytesTransferred":1,"duration":1}}])";
    dir.write("profiles.json", "[{\"name\": \"truncated");
    dir.write("history.json", badHistory);
    dir.write("preferences.json", R"({"scheduleFrequency":"daily","scheduleHour":7,)"
                                  R"("scheduleMinute":0,"scheduleWeekday":2})");
    dir.write("exclusions.json", "{}");
    fs::permissions(dir / "profiles.json", fs::perms::owner_read | fs::perms::owner_write);
    // Missing or empty is not damage: nothing to keep.
    TempDir empty;
    empty.write("history.json", "");
    fs::create_directory(empty / "profiles.json");
    StorageService emptyStore(empty.path());
    EXPECT_EQ(folderNames(empty.path()), (Names{"history.json", "profiles.json"}));
    {
        // A reader that must leave no trace names what it could not read.
        const StorageService reader(dir.path(), StorageService::Access::readOnly);
        EXPECT_EQ(reader.unreadableFiles().size(), 4u);
        EXPECT_EQ(folderNames(dir.path()).size(), 4u);
    }
    StorageService store(dir.path());
    const StorageService again(dir.path()); // the same damage is kept once
    EXPECT_TRUE(store.profiles().empty() && store.history().empty());
    EXPECT_EQ(store.preferences(), AppPreferences{});
    EXPECT_EQ(store.exclusionPatterns(), builtInPatterns());
    for (const std::string name :
         {"profiles.json", "history.json", "preferences.json", "exclusions.json"}) {
        const auto copies = folderNames(dir.path(), name + ".unreadable-");
        ASSERT_EQ(copies.size(), 1u) << name;
        EXPECT_EQ(readFile(dir / copies[0]), readFile(dir / name)) << name;
        EXPECT_EQ(fs::status(dir / copies[0]).permissions(), fs::status(dir / name).permissions())
            << name;
    }
    // The next run's entry is then the only one written; the copy keeps the old.
    store.addHistoryEntry(entryNamed("/next"));
    EXPECT_EQ(decodeHistory(readFile(dir / "history.json"))->size(), 1u);
    EXPECT_EQ(readFile(dir / folderNames(dir.path(), "history.json.unreadable-")[0]), badHistory);
}

TEST(StorageServiceTest, UnsafeLogFileNamesReadAsNoLogFile) {
    using namespace std::string_literals;
    // All but the last two would reach outside the Logs folder.
    const std::string names[] = {
        "",         ".",          "..",       "../../etc/passwd", "sub/run.log",
        "/abs.log", "run\0.log"s, "good.log", "..hidden.log"};
    std::vector<HistoryEntry> entries;
    for (const auto& name : names)
        entries.push_back({.source = "/src", .logFileName = name});
    TempDir dir;
    dir.write("history.json", writeJson(toJson(entries)));
    StorageService store(dir.path());
    ASSERT_EQ(store.history().size(), std::size(names));
    for (std::size_t i = 0; i < std::size(names); ++i)
        EXPECT_EQ(store.history()[i].logFileName,
                  i + 2 < std::size(names) ? std::nullopt : std::optional(names[i]))
            << names[i];
}

TEST(StorageServiceTest, HistoryKeepsTheNewest200NewestFirst) {
    TempDir dir;
    std::vector<HistoryEntry> stored;
    for (int index = 199; index >= 0; --index)
        stored.push_back(entryNamed("/run" + std::to_string(index)));
    dir.write("history.json", writeJson(toJson(stored)));
    StorageService store(dir.path());
    store.addHistoryEntry(entryNamed("/run200"));
    ASSERT_EQ(store.history().size(), 200u);
    EXPECT_EQ(store.history().front().source, "/run200");
    EXPECT_EQ(store.history().back().source, "/run1");
    EXPECT_EQ(decodeHistory(readFile(dir / "history.json")), store.history());
}

TEST(StorageServiceTest, DeleteRemovesEveryMatchAndRewritesAndAFailedSaveLosesNothing) {
    TempDir dir;
    auto first = entryNamed("/first");
    auto twin = first;
    twin.source = "/twin";
    const auto middle = entryNamed("/middle");
    // Compact, as a hand edit might leave it: a rewrite is visible.
    dir.write("history.json", toJson(std::vector{first, middle, twin}).dump());
    StorageService store(dir.path());
    store.deleteHistoryEntry(Uuid::random());
    EXPECT_EQ(readFile(dir / "history.json"), writeJson(toJson(store.history())));
    store.deleteHistoryEntry(first.id);
    EXPECT_EQ(store.history(), std::vector{middle});
    EXPECT_EQ(decodeHistory(readFile(dir / "history.json")), std::vector{middle});
    // A save that fails keeps what is in the way and the new value in memory.
    fs::remove(dir / "history.json");
    dir.write("history.json/keep", "kept");
    store.addHistoryEntry(entryNamed("/a"));
    EXPECT_EQ(store.history().size(), 2u);
    EXPECT_EQ(readFile(dir / "history.json/keep"), "kept");
}

TEST(StorageServiceTest, EverySaveNotifiesAndWritesItsOwnFile) {
    TempDir dir;
    StorageService store(dir.path());
    std::vector<Collection> heard;
    const int token = store.addObserver([&](Collection which) { heard.push_back(which); });
    store.saveProfiles(store.profiles());
    store.savePreferences(store.preferences());
    store.saveExclusionPatterns(store.exclusionPatterns());
    EXPECT_EQ(folderNames(dir.path()),
              (Names{"exclusions.json", "preferences.json", "profiles.json"}));
    store.addHistoryEntry(entryNamed("/a"));
    store.deleteHistoryEntry(Uuid::random());
    store.load();
    using enum Collection;
    EXPECT_EQ(heard, (std::vector{profiles, preferences, exclusionPatterns, history, history,
                                  profiles, history, preferences, exclusionPatterns}));
    // An observer may remove itself while being told.
    heard.clear();
    int selfToken = -1;
    selfToken = store.addObserver([&](Collection) { store.removeObserver(selfToken); });
    store.removeObserver(token);
    store.saveHistory({});
    store.saveHistory({});
    EXPECT_TRUE(heard.empty());
}

TEST(StorageServiceTest, BackupRoundTripRestoreLeavesHistoryAloneAndOnlyABackupIsRead) {
    TempDir dir;
    StorageService source(dir / "a");
    source.saveProfiles(
        {{.name = "Photos", .createdAt = std::chrono::floor<std::chrono::seconds>(now())}});
    const AppPreferences preferences{.scheduledProfileId = source.profiles()[0].id,
                                     .scheduleFrequency = ScheduleFrequency::daily};
    source.savePreferences(preferences);
    auto patterns = builtInPatterns();
    patterns[6].enabled = !patterns[6].enabled;
    source.saveExclusionPatterns(patterns);
    const auto backup =
        StorageService::readBackup(dir.write("settings.json", *source.makeBackup()));
    ASSERT_TRUE(backup);
    EXPECT_EQ(backup->backupVersion, 1);
    EXPECT_EQ(backup->appVersion, StorageService::backupAppVersion(kAppVersion));
    EXPECT_LE(std::chrono::abs(backup->exportedAt - now()), std::chrono::seconds(5));

    StorageService restored(dir / "b");
    restored.addHistoryEntry(entryNamed("/kept"));
    const auto historyBytes = readFile(dir / "b/history.json");
    dir.write("b/Logs/run.log", "log");
    std::vector<Collection> heard;
    restored.addObserver([&](Collection which) { heard.push_back(which); });
    restored.restoreBackup(*backup);
    EXPECT_EQ(heard, (std::vector{Collection::profiles, Collection::exclusionPatterns,
                                  Collection::preferences}));
    EXPECT_EQ(readFile(dir / "b/history.json") + readFile(dir / "b/Logs/run.log"),
              historyBytes + "log");
    // What was restored is saved, and loads back as it was made.
    StorageService reloaded(dir / "b");
    EXPECT_EQ(reloaded.profiles(), source.profiles());
    EXPECT_EQ(reloaded.exclusionPatterns(), patterns);
    EXPECT_EQ(reloaded.preferences(), preferences);
    for (const auto& path : {dir / "a/profiles.json", dir / "missing.json", dir / "a",
                             dir.write("text.json", "not json")})
        EXPECT_EQ(StorageService::readBackup(path), std::nullopt) << path;
}

TEST(AtomicFileTest, ReplacesContentLeavingNoTemporaryFileAndKeepingPermissions) {
    test::TempDir dir;
    const auto target = dir / "profiles.json";
    ASSERT_TRUE(writeFileAtomically(target, "first"));
    ::chmod(target.c_str(), 0640);
    ASSERT_TRUE(writeFileAtomically(target, "second, longer"));
    EXPECT_EQ(readFile(target), "second, longer");
    EXPECT_EQ(folderNames(dir.path()), Names{"profiles.json"});
    EXPECT_EQ(std::filesystem::status(target).permissions(), std::filesystem::perms(0640));
    // The temporary name is not built from the target's, so the longest
    // possible name still works.
    EXPECT_TRUE(writeFileAtomically(dir / std::string(255, 'n'), "x"));
}

TEST(AtomicFileTest, FailureLeavesWhatWasThereAndNoTemporaryFile) {
    test::TempDir dir;
    dir.write("target/keep.txt", "kept");
    dir.write("plain", "file");
    EXPECT_FALSE(writeFileAtomically(dir / "target", "new"));
    EXPECT_FALSE(writeFileAtomically(dir / "plain/child.json", "new"));
    EXPECT_FALSE(writeFileAtomically(dir / "missing/child.json", "new"));
    EXPECT_EQ(readFile(dir / "target/keep.txt") + readFile(dir / "plain"), "keptfile");
    EXPECT_EQ(folderNames(dir.path()), (Names{"plain", "target"}));
}

TEST(AtomicFileTest, ReadsOnlyRegularFiles) {
    test::TempDir dir;
    EXPECT_EQ(readFileBytes(dir.write("data", std::string("a\0b", 3))), std::string("a\0b", 3));
    EXPECT_EQ(readFileBytes(dir.write("empty", "")), "");
    EXPECT_EQ(readFileBytes(dir / "missing"), std::nullopt);
    EXPECT_EQ(readFileBytes(dir.path()), std::nullopt);
    // A FIFO would block a reader that waited for a writer.
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(readFileBytes(dir / "fifo"), std::nullopt);
}

TEST(UnreadableCopyTest, NamesTheCopyByUtcTimeAndNeverOverwritesOne) {
    test::TempDir dir;
    const auto file = dir.write("history.json", "[broken");
    for (const auto* damage : {"[broken", "[broken", "[other damage", ""})
        keepUnreadableCopy(file, damage, test::at("2026-12-06T10:15:00Z"));
    EXPECT_EQ(folderNames(dir.path()),
              (Names{"history.json", "history.json.unreadable-20261206T101500Z",
                     "history.json.unreadable-20261206T101500Z-2"}));
    EXPECT_EQ(readFile(dir / "history.json.unreadable-20261206T101500Z-2"), "[other damage");
}

} // namespace
} // namespace quillfen
