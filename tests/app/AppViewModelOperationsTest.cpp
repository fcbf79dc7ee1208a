#include "AppHarness.h"
#include "RecordBuilders.h"
#include "records/JsonForms.h"

#include <QSignalSpy>
#include <QUrl>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using test::AppHarness;
using test::at;
using test::readFile;
using test::rule;
using test::writeFile;

TEST(AppViewModelStart, TakesTheLastSyncAndTheStoredRulesAndTogglesLogin) {
    AppHarness harness;
    harness.storage().saveHistory({{.endedAt = at("2026-03-02T10:00:00Z"), .isDryRun = true},
                                   {.endedAt = at("2026-03-01T09:00:00Z")}});
    harness.storage().saveExclusionPatterns({rule("*.bak")});
    auto& viewModel = harness.make();
    EXPECT_EQ(viewModel.lastSyncDate().toUTC().toString(Qt::ISODate), "2026-03-01T09:00:00Z");
    EXPECT_EQ(viewModel.enabledPatternCount(), 1);
    std::filesystem::remove_all(harness.storage().logsDirectory());
    EXPECT_TRUE(QFileInfo(viewModel.logsFolder()).isDir()) << "created so it can be opened";

    QSignalSpy login(&viewModel, &AppViewModel::launchAtLoginChanged);
    const auto entry = harness.root() / "autostart/quillfen.desktop";
    for (const bool on : {true, false}) {
        viewModel.toggleLaunchAtLogin();
        EXPECT_EQ(viewModel.launchAtLogin(), on);
        EXPECT_EQ(std::filesystem::exists(entry), on);
    }
    EXPECT_EQ(login.count(), 2);
}

TEST(AppViewModelDrop, OnlyALocalFolderSetsThePathAndItsGrant) {
    AppHarness harness;
    auto& viewModel = harness.make();
    const QString folder = harness.folder("drive");
    test::writeFile(harness.root() / "note.txt", "x");
    for (const QUrl& ignored : {QUrl::fromLocalFile(toQString(harness.root() / "note.txt")),
                                QUrl::fromLocalFile(toQString(harness.root() / "missing")),
                                QUrl(QStringLiteral("https://example.org/drive/"))}) {
        EXPECT_FALSE(viewModel.dropDestination(ignored)) << ignored.toString().toStdString();
        EXPECT_TRUE(viewModel.destinationPath().isEmpty());
    }
    EXPECT_FALSE(harness.bookmarks().resolveBookmark("destination"));
    // File managers drop folders with or without the final separator.
    EXPECT_TRUE(viewModel.dropDestination(QUrl::fromLocalFile(folder + u'/')));
    EXPECT_EQ(viewModel.destinationPath(), folder);
    EXPECT_EQ(harness.bookmarks().resolveBookmark("destination"), toPath(folder));
    EXPECT_FALSE(harness.bookmarks().resolveBookmark("source"));
    EXPECT_TRUE(viewModel.dropSource(QUrl::fromLocalFile(harness.folder("work"))));
    EXPECT_EQ(harness.bookmarks().resolveBookmark("source"), toPath(harness.folder("work")));
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

TEST(AppViewModelProfiles, SaveLoadDeleteExportAndImportKeepTheScheduleConsistent) {
    AppHarness harness;
    auto& viewModel = harness.make();
    viewModel.setSourcePath(harness.folder("work"));
    viewModel.setDeleteExtras(true);
    QSignalSpy profilesChanged(&viewModel, &AppViewModel::profilesChanged);
    viewModel.saveProfile(QStringLiteral("Work"));
    EXPECT_EQ(profilesChanged.count(), 1);
    EXPECT_EQ(viewModel.profileCount(), 1);
    const auto container = harness.storage().container();
    const auto stored = decodeProfiles(readFile(container / "profiles.json"));
    ASSERT_TRUE(stored && stored->size() == 1);
    const SyncProfile saved = stored->front();
    EXPECT_EQ(saved.name, "Work");
    EXPECT_TRUE(saved.deleteExtras);
    EXPECT_EQ(saved.excludePatterns, viewModel.excludePatterns());

    // A profile without rules keeps the current list; watching follows the source.
    const SyncProfile other{.source = harness.folder("photos").toStdString(),
                            .destination = harness.folder("drive").toStdString()};
    const auto rulesBefore = viewModel.excludePatterns();
    viewModel.setWatchMode(true);
    viewModel.loadProfile(other);
    EXPECT_EQ(viewModel.excludePatterns(), rulesBefore);
    EXPECT_FALSE(viewModel.deleteExtras());
    EXPECT_TRUE(viewModel.isWatching());
    viewModel.setWatchMode(false);

    harness.storage().savePreferences({.scheduledProfileId = saved.id,
                                       .scheduleFrequency = ScheduleFrequency::weekly,
                                       .scheduleHour = 7});
    viewModel.applySchedule();
    const auto exported = harness.root() / "settings.json";
    viewModel.exportSettings(); // cancelled: nothing written
    EXPECT_FALSE(std::filesystem::exists(exported));
    harness.dialogs().answer(toQString(exported));
    viewModel.exportSettings();
    EXPECT_TRUE(harness.dialogs().requests().back().text.startsWith("Quillfen-settings-"));

    viewModel.deleteProfile(Uuid::random());
    EXPECT_TRUE(viewModel.nextFireDate().isValid());
    viewModel.deleteProfile(saved.id);
    EXPECT_TRUE(harness.storage().profiles().empty());
    EXPECT_FALSE(viewModel.isScheduleArmed());
    EXPECT_FALSE(viewModel.nextFireDate().isValid());
    const auto kept = decodePreferences(readFile(container / "preferences.json"));
    ASSERT_TRUE(kept);
    EXPECT_FALSE(kept->scheduledProfileId);
    EXPECT_EQ(kept->scheduleHour, 7);

    const auto snapshot = [&] {
        return readFile(container / "profiles.json") + readFile(container / "preferences.json");
    };
    const std::string before = snapshot();
    harness.dialogs().answer(toQString(container / "profiles.json")); // not a backup
    viewModel.importSettings();
    EXPECT_FALSE(viewModel.importPendingBackup());
    harness.dialogs().answer(toQString(exported));
    viewModel.importSettings();
    EXPECT_EQ(harness.dialogs().requests().back().text, "Choose a Quillfen settings backup");
    ASSERT_TRUE(viewModel.importPendingBackup());
    viewModel.cancelImport();
    EXPECT_FALSE(viewModel.importPendingBackup());
    QTest::qWait(200);
    EXPECT_EQ(snapshot(), before);

    harness.dialogs().answer(toQString(exported));
    viewModel.importSettings();
    viewModel.confirmImport();
    EXPECT_FALSE(viewModel.importPendingBackup());
    EXPECT_EQ(harness.storage().profiles(), std::vector<SyncProfile>{saved});
    EXPECT_TRUE(viewModel.nextFireDate().isValid()) << "a restored schedule is armed at once";
    EXPECT_EQ(viewModel.sourcePath().toStdString(), other.source) << "the folders stay";
}

TEST(AppViewModelTour, StepsOpenTheirSheetsAfterTheirDelays) {
    AppHarness harness;
    auto& viewModel = harness.make();
    const auto opensLater = [&](bool (AppViewModel::*sheet)() const) {
        return !(viewModel.*sheet)() && QTest::qWaitFor([&] { return (viewModel.*sheet)(); }, 1000);
    };
    viewModel.setShowProfiles(true);
    viewModel.setShowHelp(true);
    viewModel.startTour();
    EXPECT_FALSE(viewModel.showProfiles());
    EXPECT_TRUE(viewModel.showHelp()) << "help is not one of the tour's sheets";
    EXPECT_EQ(viewModel.activeTourStep(), TourStep::exclusions);
    EXPECT_TRUE(opensLater(&AppViewModel::showExclusions));
    for (int i = 0; i < 3; ++i)
        viewModel.advanceTour();
    EXPECT_EQ(viewModel.activeTourStep(), TourStep::cleanSource);
    EXPECT_TRUE(opensLater(&AppViewModel::showCleanSource));
    viewModel.advanceTour();
    EXPECT_EQ(viewModel.activeTourStep(), TourStep::syncAndPreview);
    EXPECT_FALSE(viewModel.showCleanSource());
    viewModel.advanceTour();
    EXPECT_TRUE(opensLater(&AppViewModel::showHistory));
    viewModel.advanceTour();
    viewModel.advanceTour(); // past the end stays ended
    EXPECT_FALSE(viewModel.activeTourStep());
    EXPECT_FALSE(viewModel.showHistory());
    viewModel.startTour();
    viewModel.endTour();
    EXPECT_FALSE(viewModel.activeTourStep());
    QSignalSpy stepChanged(&viewModel, &AppViewModel::activeTourStepChanged);
    viewModel.endTour();
    EXPECT_EQ(stepChanged.count(), 0) << "nothing changed";
}

} // namespace
} // namespace quillfen
