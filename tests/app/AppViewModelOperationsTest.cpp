#include "AppHarness.h"
#include "records/JsonForms.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using test::AppHarness;
using test::readFile;
using test::writeFile;

Date at(const char* text) {
    return *parseIsoDate(text);
}

HistoryEntry finishedRun(bool isDryRun, const char* endedAt) {
    HistoryEntry entry;
    entry.isDryRun = isDryRun;
    entry.endedAt = at(endedAt);
    return entry;
}

ExclusionPattern rule(const char* pattern) {
    return {Uuid::random(), pattern, pattern, true, false};
}

TEST(AppViewModelStart, TakesTheLastSyncAndTheStoredRules) {
    AppHarness harness;
    harness.storage().setHistory(
        {finishedRun(true, "2026-03-02T10:00:00Z"), finishedRun(false, "2026-03-01T09:00:00Z")});
    harness.storage().setExclusionPatterns({rule("*.bak")});
    auto& viewModel = harness.make();
    EXPECT_EQ(viewModel.lastSyncDate().toUTC().toString(Qt::ISODate), "2026-03-01T09:00:00Z");
    ASSERT_EQ(viewModel.excludePatterns().size(), 1u);
    EXPECT_EQ(viewModel.enabledPatternCount(), 1);
    EXPECT_FALSE(viewModel.sourceStats());
    EXPECT_FALSE(viewModel.isComputingSourceStats());
    EXPECT_FALSE(std::filesystem::exists(harness.storage().container() / "exclusions.json"));
}

TEST(AppViewModelExclusions, ABurstOfEditsIsSavedOnceWithItsLastValue) {
    AppHarness harness;
    auto& viewModel = harness.make();
    int saves = 0;
    harness.storage().addObserver([&](StorageService::Collection collection) {
        saves += collection == StorageService::Collection::exclusionPatterns;
    });
    viewModel.setExcludePatterns({rule("a")});
    viewModel.setExcludePatterns({rule("a"), rule("b")});
    const std::vector<ExclusionPattern> last{rule("c")};
    viewModel.setExcludePatterns(last);
    EXPECT_EQ(saves, 0);
    QTest::qWait(400);
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(harness.storage().exclusionPatterns(), last);
    EXPECT_EQ(decodeExclusionPatterns(
                  readFile(harness.storage().container() / StorageService::kExclusionsFile)),
              last);
}

TEST(AppViewModelStats, OnlyTheNewestCountIsPublished) {
    AppHarness harness;
    auto& viewModel = harness.make();
    writeFile(harness.root() / "first/one.txt", "1");
    writeFile(harness.root() / "second/a.txt", "a");
    writeFile(harness.root() / "second/b.txt", "b");
    std::vector<std::int64_t> published;
    QObject::connect(&viewModel, &AppViewModel::sourceStatsChanged, [&] {
        if (viewModel.sourceStats())
            published.push_back(viewModel.sourceStats()->files);
    });
    viewModel.setSourcePath(harness.folder("first"));
    EXPECT_TRUE(viewModel.isComputingSourceStats());
    viewModel.setSourcePath(harness.folder("second"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !viewModel.isComputingSourceStats(); }));
    QTest::qWait(100);
    EXPECT_EQ(published, std::vector<std::int64_t>{2});
    viewModel.setSourcePath(QString());
    EXPECT_FALSE(viewModel.sourceStats());
    EXPECT_FALSE(viewModel.isComputingSourceStats());
}

TEST(AppViewModelProfiles, SaveLoadAndDeleteKeepTheScheduleConsistent) {
    AppHarness harness;
    auto& viewModel = harness.make();
    viewModel.setSourcePath(harness.folder("work"));
    viewModel.setDestinationPath(harness.folder("backup"));
    viewModel.setDeleteExtras(true);
    viewModel.setBandwidthLimit(250);
    viewModel.saveProfile(QStringLiteral("Work"));
    ASSERT_EQ(harness.storage().profiles().size(), 1u);
    const SyncProfile saved = harness.storage().profiles().front();
    EXPECT_EQ(saved.name, "Work");
    EXPECT_TRUE(saved.deleteExtras);
    EXPECT_EQ(saved.excludePatterns, viewModel.excludePatterns());
    const auto stored = decodeProfiles(readFile(harness.storage().container() / "profiles.json"));
    ASSERT_TRUE(stored && stored->size() == 1);
    EXPECT_EQ(stored->front().id, saved.id);

    // A profile without rules keeps the current list; watching follows the source.
    SyncProfile other;
    other.source = harness.folder("photos").toStdString();
    other.destination = harness.folder("drive").toStdString();
    const auto rulesBefore = viewModel.excludePatterns();
    viewModel.setWatchMode(true);
    viewModel.loadProfile(other);
    EXPECT_EQ(viewModel.excludePatterns(), rulesBefore);
    EXPECT_FALSE(viewModel.deleteExtras());
    EXPECT_EQ(viewModel.bandwidthLimit(), 0);
    EXPECT_TRUE(viewModel.isWatching());

    AppPreferences preferences;
    preferences.scheduledProfileId = saved.id;
    preferences.scheduleFrequency = ScheduleFrequency::weekly;
    preferences.scheduleHour = 7;
    harness.storage().setPreferences(preferences);
    viewModel.applySchedule();
    EXPECT_TRUE(viewModel.nextFireDate().isValid());
    viewModel.deleteProfile(Uuid::random());
    EXPECT_EQ(harness.storage().profiles().size(), 1u);
    EXPECT_TRUE(viewModel.nextFireDate().isValid());
    viewModel.deleteProfile(saved.id);
    EXPECT_TRUE(harness.storage().profiles().empty());
    EXPECT_FALSE(harness.storage().preferences().scheduledProfileId);
    EXPECT_EQ(harness.storage().preferences().scheduleHour, 7);
    EXPECT_FALSE(viewModel.nextFireDate().isValid());
    EXPECT_EQ(decodePreferences(readFile(harness.storage().container() / "preferences.json")),
              harness.storage().preferences());
}

TEST(AppViewModelTour, StepsOpenTheirSheetsAfterTheirDelays) {
    AppHarness harness;
    auto& viewModel = harness.make();
    viewModel.setShowProfiles(true);
    viewModel.setShowHelp(true);
    viewModel.startTour();
    EXPECT_FALSE(viewModel.showProfiles());
    EXPECT_TRUE(viewModel.showHelp()) << "help is not one of the tour's sheets";
    EXPECT_EQ(viewModel.activeTourStep(), TourStep::exclusions);
    EXPECT_FALSE(viewModel.showExclusions());
    EXPECT_TRUE(QTest::qWaitFor([&] { return viewModel.showExclusions(); }, 1000));

    for (int i = 0; i < 3; ++i)
        viewModel.advanceTour();
    EXPECT_EQ(viewModel.activeTourStep(), TourStep::cleanSource);
    EXPECT_TRUE(QTest::qWaitFor([&] { return viewModel.showCleanSource(); }, 1000));
    viewModel.advanceTour();
    EXPECT_EQ(viewModel.activeTourStep(), TourStep::syncAndPreview);
    EXPECT_FALSE(viewModel.showCleanSource());
    viewModel.advanceTour();
    EXPECT_FALSE(viewModel.showHistory());
    EXPECT_TRUE(QTest::qWaitFor([&] { return viewModel.showHistory(); }, 1000));
    viewModel.advanceTour();
    EXPECT_FALSE(viewModel.activeTourStep());
    EXPECT_FALSE(viewModel.showHistory());
    viewModel.advanceTour();
    EXPECT_FALSE(viewModel.activeTourStep());

    viewModel.startTour();
    viewModel.endTour();
    EXPECT_FALSE(viewModel.activeTourStep());
}

TEST(AppViewModelImport, CancelLeavesTheFilesAndConfirmReplacesThem) {
    AppHarness harness;
    auto& viewModel = harness.make();
    viewModel.setSourcePath(harness.folder("mine"));
    viewModel.saveProfile(QStringLiteral("Mine"));
    harness.storage().save(harness.storage().exclusionPatterns(), StorageService::kExclusionsFile);
    harness.storage().save(harness.storage().preferences(), StorageService::kPreferencesFile);
    const auto container = harness.storage().container();
    const std::string profilesBefore = readFile(container / "profiles.json");
    const std::string exclusionsBefore = readFile(container / "exclusions.json");
    const std::string preferencesBefore = readFile(container / "preferences.json");

    SettingsBackup backup;
    backup.backupVersion = 7;
    backup.exclusionPatterns = {rule("*.iso")};
    SyncProfile imported;
    imported.name = "Imported";
    backup.profiles = {imported};
    backup.preferences.scheduledProfileId = imported.id;
    backup.preferences.scheduleFrequency = ScheduleFrequency::daily;
    const auto file = harness.root() / "backup.json";
    writeFile(file, writeJson(toJson(backup)));
    // Not a backup: nothing becomes pending.
    harness.dialogs().answer(toQString(container / "profiles.json"));
    viewModel.importSettings();
    EXPECT_FALSE(viewModel.importPendingBackup());

    harness.dialogs().answer(toQString(file));
    viewModel.importSettings();
    ASSERT_TRUE(viewModel.importPendingBackup());
    EXPECT_EQ(harness.dialogs().requests().back().text, "Choose a Quillfen settings backup");
    viewModel.cancelImport();
    EXPECT_FALSE(viewModel.importPendingBackup());
    QTest::qWait(200);
    EXPECT_EQ(readFile(container / "profiles.json"), profilesBefore);
    EXPECT_EQ(readFile(container / "exclusions.json"), exclusionsBefore);
    EXPECT_EQ(readFile(container / "preferences.json"), preferencesBefore);

    harness.dialogs().answer(toQString(file));
    viewModel.importSettings();
    viewModel.confirmImport();
    EXPECT_FALSE(viewModel.importPendingBackup());
    ASSERT_EQ(harness.storage().profiles().size(), 1u);
    EXPECT_EQ(harness.storage().profiles().front().id, imported.id);
    EXPECT_EQ(viewModel.excludePatterns(), backup.exclusionPatterns);
    EXPECT_TRUE(viewModel.nextFireDate().isValid()) << "a restored schedule is armed at once";
    EXPECT_EQ(viewModel.sourcePath(), harness.folder("mine"));
}

TEST(AppViewModelExport, WritesTheStoredSettingsWhereTheUserChooses) {
    AppHarness harness;
    auto& viewModel = harness.make();
    viewModel.saveProfile(QStringLiteral("One"));
    const auto target = harness.root() / "out" / "settings.json";
    std::filesystem::create_directories(target.parent_path());
    harness.dialogs().answer(toQString(target));
    viewModel.exportSettings();
    EXPECT_TRUE(harness.dialogs().requests().back().text.startsWith("Quillfen-settings-"));
    const auto backup = decodeSettingsBackup(readFile(target));
    ASSERT_TRUE(backup);
    ASSERT_EQ(backup->profiles.size(), 1u);
    EXPECT_EQ(backup->profiles.front().id, harness.storage().profiles().front().id);
    // Cancelling the save dialog writes nothing.
    std::filesystem::remove(target);
    viewModel.exportSettings();
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST(AppViewModelLogin, ToggleRegistersAndUnregisters) {
    AppHarness harness;
    auto& viewModel = harness.make();
    QSignalSpy changed(&viewModel, &AppViewModel::changed);
    EXPECT_FALSE(viewModel.launchAtLogin());
    viewModel.toggleLaunchAtLogin();
    EXPECT_TRUE(viewModel.launchAtLogin());
    viewModel.toggleLaunchAtLogin();
    EXPECT_FALSE(viewModel.launchAtLogin());
    EXPECT_EQ(changed.count(), 2);
}

} // namespace
} // namespace quillfen
