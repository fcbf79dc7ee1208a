#include "AppHarness.h"
#include "records/JsonForms.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using test::AppHarness;
using test::readFile;
using test::writeFile;

ExclusionPattern rule(const char* pattern) {
    return {Uuid::random(), pattern, pattern, true, false};
}

TEST(AppViewModelStart, TakesTheLastSyncAndTheStoredRulesAndTogglesLogin) {
    AppHarness harness;
    HistoryEntry preview, sync;
    preview.isDryRun = true;
    preview.endedAt = parseIsoDate("2026-03-02T10:00:00Z");
    sync.endedAt = parseIsoDate("2026-03-01T09:00:00Z");
    harness.storage().setHistory({preview, sync});
    harness.storage().setExclusionPatterns({rule("*.bak")});
    auto& viewModel = harness.make();
    EXPECT_EQ(viewModel.lastSyncDate().toUTC().toString(Qt::ISODate), "2026-03-01T09:00:00Z");
    EXPECT_EQ(viewModel.enabledPatternCount(), 1);
    EXPECT_FALSE(viewModel.sourceStats());
    EXPECT_FALSE(std::filesystem::exists(harness.storage().container() / "exclusions.json"));

    const auto entry = harness.root() / "autostart/quillfen.desktop";
    viewModel.toggleLaunchAtLogin();
    EXPECT_TRUE(viewModel.launchAtLogin());
    EXPECT_TRUE(std::filesystem::exists(entry));
    viewModel.toggleLaunchAtLogin();
    EXPECT_FALSE(viewModel.launchAtLogin());
    EXPECT_FALSE(std::filesystem::exists(entry));
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
    const auto stored = decodeProfiles(readFile(harness.storage().container() / "profiles.json"));
    ASSERT_TRUE(stored && stored->size() == 1);
    const SyncProfile saved = stored->front();
    EXPECT_EQ(saved.name, "Work");
    EXPECT_TRUE(saved.deleteExtras);
    EXPECT_EQ(saved.excludePatterns, viewModel.excludePatterns());

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
    viewModel.deleteProfile(Uuid::random());
    EXPECT_EQ(harness.storage().profiles().size(), 1u);
    EXPECT_TRUE(viewModel.nextFireDate().isValid());
    viewModel.deleteProfile(saved.id);
    EXPECT_TRUE(harness.storage().profiles().empty());
    EXPECT_FALSE(viewModel.nextFireDate().isValid());
    const auto kept =
        decodePreferences(readFile(harness.storage().container() / "preferences.json"));
    ASSERT_TRUE(kept);
    EXPECT_FALSE(kept->scheduledProfileId);
    EXPECT_EQ(kept->scheduleHour, 7);
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
    viewModel.advanceTour(); // past the end stays ended
    EXPECT_FALSE(viewModel.activeTourStep());
    EXPECT_FALSE(viewModel.showHistory());

    viewModel.startTour();
    viewModel.endTour();
    EXPECT_FALSE(viewModel.activeTourStep());
}

TEST(AppViewModelSettings, ExportWritesWhereChosenAndImportReplacesOnlyWhenConfirmed) {
    AppHarness harness;
    auto& viewModel = harness.make();
    viewModel.setSourcePath(harness.folder("mine"));
    viewModel.saveProfile(QStringLiteral("Mine"));
    const auto exported = harness.root() / "out/settings.json";
    std::filesystem::create_directories(exported.parent_path());
    viewModel.exportSettings(); // cancelled: nothing written
    EXPECT_FALSE(std::filesystem::exists(exported));
    harness.dialogs().answer(toQString(exported));
    viewModel.exportSettings();
    EXPECT_TRUE(harness.dialogs().requests().back().text.startsWith("Quillfen-settings-"));
    const auto mine = decodeSettingsBackup(readFile(exported));
    ASSERT_TRUE(mine && mine->profiles.size() == 1);
    EXPECT_EQ(mine->profiles.front().id, harness.storage().profiles().front().id);

    harness.storage().save(harness.storage().exclusionPatterns(), StorageService::kExclusionsFile);
    harness.storage().save(harness.storage().preferences(), StorageService::kPreferencesFile);
    const auto container = harness.storage().container();
    const auto snapshot = [&] {
        std::string all;
        for (const auto* name : {"profiles.json", "exclusions.json", "preferences.json"})
            all += readFile(container / name) + '\n';
        return all;
    };
    const std::string before = snapshot();

    SettingsBackup backup;
    backup.backupVersion = 7;
    backup.exclusionPatterns = {rule("*.iso")};
    backup.profiles = {SyncProfile{}};
    backup.preferences.scheduledProfileId = backup.profiles[0].id;
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
    EXPECT_EQ(snapshot(), before);

    harness.dialogs().answer(toQString(file));
    viewModel.importSettings();
    viewModel.confirmImport();
    EXPECT_FALSE(viewModel.importPendingBackup());
    ASSERT_EQ(harness.storage().profiles().size(), 1u);
    EXPECT_EQ(harness.storage().profiles().front().id, backup.profiles[0].id);
    EXPECT_EQ(viewModel.excludePatterns(), backup.exclusionPatterns);
    EXPECT_TRUE(viewModel.nextFireDate().isValid()) << "a restored schedule is armed at once";
    EXPECT_EQ(viewModel.sourcePath(), harness.folder("mine"));
}

} // namespace
} // namespace quillfen
