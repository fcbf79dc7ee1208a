#include "AppHarness.h"
#include "RecordBuilders.h"
#include "app/Onboarding.h"

#include <QSignalSpy>
#include <QUrl>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using test::at;
using test::readFile;
using test::rule;
using test::writeFile;

class AppViewModelTest : public ::testing::Test {
protected:
    test::AppHarness harness;
    fs::path container = harness.storage().container();
};

TEST_F(AppViewModelTest, StartTakesTheLastSyncAndTheStoredRulesAndLoginToggles) {
    harness.storage().saveHistory({{.endedAt = at("2026-03-02T10:00:00Z"), .isDryRun = true},
                                   {.endedAt = at("2026-03-01T09:00:00Z")}});
    harness.storage().saveExclusionPatterns({rule("*.bak")});
    auto& viewModel = harness.make();
    EXPECT_EQ(viewModel.lastSyncDate().toUTC().toString(Qt::ISODate), "2026-03-01T09:00:00Z");
    EXPECT_EQ(viewModel.enabledPatternCount(), 1);
    fs::remove_all(harness.storage().logsDirectory());
    EXPECT_TRUE(QFileInfo(viewModel.logsFolder()).isDir()) << "created so it can be opened";
    QSignalSpy login(&viewModel, &AppViewModel::launchAtLoginChanged);
    for (const bool on : {true, false}) {
        viewModel.toggleLaunchAtLogin();
        EXPECT_EQ(viewModel.launchAtLogin(), on);
        EXPECT_EQ(fs::exists(harness.root() / "autostart/quillfen.desktop"), on);
    }
    EXPECT_EQ(login.count(), 2);
}

TEST_F(AppViewModelTest, OnlyADroppedLocalFolderOrAChosenOneSetsThePathItsGrantAndCanSync) {
    auto& viewModel = harness.make();
    EXPECT_TRUE(viewModel.dropSource(QUrl::fromLocalFile(harness.folder("work"))));
    EXPECT_EQ(harness.bookmarks().resolveBookmark("source"), toPath(harness.folder("work")));
    for (const QUrl& ignored : {QUrl::fromLocalFile(toQString(harness.root().write("f", "x"))),
                                QUrl::fromLocalFile(toQString(harness.root() / "missing")),
                                QUrl(QStringLiteral("https://example.org/drive/"))})
        EXPECT_FALSE(viewModel.dropDestination(ignored)) << ignored.toString().toStdString();
    viewModel.chooseDestination(); // cancelled
    EXPECT_EQ(harness.dialogs().requests().back().text, "Choose destination folder");
    EXPECT_TRUE(viewModel.destinationPath().isEmpty());
    EXPECT_FALSE(harness.bookmarks().resolveBookmark("destination"));
    EXPECT_FALSE(viewModel.canSync());
    viewModel.startSync(RunMode::sync);
    EXPECT_FALSE(viewModel.isSyncing());
    // File managers drop folders with or without the final separator.
    const QString folder = harness.folder("drive");
    EXPECT_TRUE(viewModel.dropDestination(QUrl::fromLocalFile(folder + u'/')));
    EXPECT_EQ(viewModel.destinationPath(), folder);
    EXPECT_EQ(harness.bookmarks().resolveBookmark("destination"), toPath(folder));
    EXPECT_TRUE(viewModel.canSync());
}

TEST_F(AppViewModelTest, TypedRulesAreTrimmedRemovedByIdAndABurstOfEditsIsSavedOnce) {
    auto& viewModel = harness.make();
    int saves = 0;
    harness.storage().addObserver([&](StorageService::Collection collection) {
        saves += collection == StorageService::Collection::exclusionPatterns;
    });
    const int builtInActive = viewModel.enabledPatternCount();
    EXPECT_FALSE(viewModel.addExclusionPattern(QStringLiteral(" \t ")));
    EXPECT_TRUE(viewModel.addExclusionPattern(QStringLiteral(" \t*.bak \t")));
    EXPECT_TRUE(viewModel.addExclusionPattern(QStringLiteral("*.bak")));
    const auto rules = viewModel.excludePatterns();
    ASSERT_EQ(rules.size(), builtInPatterns().size() + 2);
    const ExclusionPattern& typed = rules[rules.size() - 2];
    EXPECT_EQ(typed, (ExclusionPattern{.id = typed.id, .pattern = "*.bak", .label = "*.bak"}));
    EXPECT_EQ(viewModel.enabledPatternCount(), builtInActive + 2);
    viewModel.removeExclusionPattern(typed.id);
    EXPECT_EQ(viewModel.excludePatterns().back(), rules.back());
    EXPECT_EQ(viewModel.enabledPatternCount(), builtInActive + 1);
    const std::vector last{rule("c")};
    viewModel.setExcludePatterns({rule("a")});
    viewModel.setExcludePatterns(last);
    EXPECT_EQ(saves, 0);
    QTest::qWait(300);
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(harness.storage().exclusionPatterns(), last);
}

TEST_F(AppViewModelTest, OnlyTheNewestFolderCountIsPublished) {
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
    EXPECT_FALSE(viewModel.sourceStats() || viewModel.isComputingSourceStats());
}

TEST_F(AppViewModelTest, ProfilesSaveLoadDeleteExportAndImportKeepTheScheduleConsistent) {
    auto& viewModel = harness.make();
    viewModel.setSourcePath(harness.folder("work"));
    viewModel.setDeleteExtras(true);
    viewModel.saveProfile(QStringLiteral("Work"));
    ASSERT_EQ(harness.storage().profiles().size(), 1u);
    const SyncProfile saved = harness.storage().profiles().front();
    EXPECT_TRUE(saved.name == "Work" && saved.deleteExtras);
    EXPECT_EQ(saved.excludePatterns, viewModel.excludePatterns());

    // A profile without rules keeps the current list; watching follows the source.
    const SyncProfile other{.source = harness.folder("photos").toStdString(),
                            .destination = harness.folder("drive").toStdString()};
    viewModel.setWatchMode(true);
    viewModel.loadProfile(other);
    EXPECT_EQ(viewModel.excludePatterns(), saved.excludePatterns);
    EXPECT_FALSE(viewModel.deleteExtras());
    EXPECT_TRUE(viewModel.isWatching());
    viewModel.setWatchMode(false);

    // Saving a schedule stores and arms it, announcing only changes.
    QSignalSpy armed(&viewModel, &AppViewModel::isScheduleArmedChanged);
    const AppPreferences weekly{.scheduledProfileId = saved.id,
                                .scheduleFrequency = ScheduleFrequency::weekly};
    viewModel.saveSchedule(weekly);
    viewModel.saveSchedule(weekly); // re-armed: still armed
    EXPECT_EQ(harness.storage().preferences(), weekly);
    EXPECT_EQ(armed.count(), 1);
    const auto exported = harness.root() / "settings.json";
    viewModel.exportSettings(); // cancelled: nothing written
    EXPECT_FALSE(fs::exists(exported));
    harness.dialogs().answer(toQString(exported));
    viewModel.exportSettings();
    EXPECT_TRUE(harness.dialogs().requests().back().text.startsWith("Quillfen-settings-"));

    viewModel.deleteProfile(Uuid::random());
    EXPECT_TRUE(viewModel.nextFireDate().isValid());
    viewModel.deleteProfile(saved.id);
    EXPECT_FALSE(viewModel.isScheduleArmed() || viewModel.nextFireDate().isValid());
    EXPECT_EQ(armed.count(), 2);
    EXPECT_FALSE(harness.storage().preferences().scheduledProfileId);
    EXPECT_EQ(harness.storage().preferences().scheduleFrequency, ScheduleFrequency::weekly);

    const auto snapshot = [&] {
        return readFile(container / "profiles.json") + readFile(container / "preferences.json");
    };
    const std::string before = snapshot();
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
    EXPECT_TRUE(viewModel.nextFireDate().isValid()) << "a restored schedule is armed at once";
    EXPECT_EQ(viewModel.sourcePath().toStdString(), other.source) << "the folders stay";
}

TEST_F(AppViewModelTest, DeletingARunTakesItsOwnLogAndClearingTakesEveryLog) {
    const std::vector<HistoryEntry> runs{{.logFileName = "A.log"}, {.logFileName = "B.log"}, {}};
    harness.storage().saveHistory(runs);
    auto& viewModel = harness.make();
    const auto logs = harness.storage().logsDirectory();
    for (const char* name : {"A.log", "B.log", "capped.log", "stray/x"})
        writeFile(logs / name, "log");
    QSignalSpy changed(&viewModel, &AppViewModel::historyChanged);
    EXPECT_EQ(viewModel.logFilePath(runs[1]), toQString(logs / "B.log"));
    EXPECT_TRUE(viewModel.logFilePath(runs[2]).isEmpty());
    viewModel.deleteHistoryEntry(runs[0].id);
    viewModel.deleteHistoryEntry(runs[2].id); // no log of its own
    EXPECT_EQ(test::folderNames(logs), (std::vector<std::string>{"B.log", "capped.log", "stray"}));
    EXPECT_EQ(harness.storage().history(), std::vector{runs[1]});
    viewModel.clearHistory();
    EXPECT_TRUE(test::folderNames(logs).empty());
    EXPECT_TRUE(harness.storage().history().empty());
    EXPECT_EQ(changed.count(), 3);
}

TEST_F(AppViewModelTest, TourStepsOpenTheirSheetsAfterTheirDelays) {
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
    EXPECT_FALSE(viewModel.activeTourStep() || viewModel.showHistory());
    viewModel.startTour();
    viewModel.endTour();
    EXPECT_FALSE(viewModel.activeTourStep());
    QSignalSpy stepChanged(&viewModel, &AppViewModel::activeTourStepChanged);
    viewModel.endTour();
    EXPECT_EQ(stepChanged.count(), 0) << "nothing changed";
}

// The way out by "Get Started" keeps the real half second; both ways out,
// by their buttons, are proved with the sheet.
TEST_F(AppViewModelTest, GetStartedEndsTheOnboardingAndStartsTheTourHalfASecondLater) {
    auto& viewModel = harness.make();
    viewModel.setShowOnboarding(true);
    finishOnboarding(viewModel, harness.defaults(), OnboardingExit::getStarted);
    EXPECT_TRUE(harness.defaults().hasSeenOnboarding());
    EXPECT_FALSE(viewModel.showOnboarding());
    QTest::qWait(400);
    EXPECT_FALSE(viewModel.activeTourStep()) << "not before half a second";
    EXPECT_TRUE(QTest::qWaitFor([&] { return viewModel.activeTourStep().has_value(); }, 1000));
}

// What the view model adds to a run: its flags and progress, the history
// entry, the log and the notification. What the run does is the engine's.
class AppViewModelRun : public AppViewModelTest {
protected:
    // Both folders chosen through the folder dialog, as a person would.
    AppViewModel& makeWithFolders() {
        auto& viewModel = harness.make();
        harness.dialogs().answer(harness.folder("source"));
        harness.dialogs().answer(harness.folder("destination"));
        viewModel.chooseSource();
        viewModel.chooseDestination();
        return viewModel;
    }
    std::string logOf(const HistoryEntry& entry) {
        return readFile(harness.storage().logsDirectory() / entry.logFileName.value());
    }
    // The summary of the notification number `count`, once it arrived.
    QString notification(qsizetype count) {
        const auto& received = harness.notificationServer().received();
        return QTest::qWaitFor([&] { return received.size() >= count; }, 5000)
                   ? received[count - 1].summary
                   : QString();
    }
    bool historyReaches(std::size_t size) {
        return QTest::qWaitFor([&] { return harness.storage().history().size() == size; }) &&
               harness.waitUntilIdle();
    }
    // A run that goes on long enough to act while it does.
    void startSlowRun(AppViewModel& viewModel) {
        viewModel.setBandwidthLimit(100);
        writeFile(source / "slow.bin", std::string(300 * 1024, 's'));
        if (!viewModel.isWatching())
            viewModel.startSync(RunMode::sync);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return viewModel.syncProgress().phase == SyncProgress::Phase::syncing; }));
    }

    fs::path source = harness.root() / "source";
    fs::path destination = harness.root() / "destination";
};

TEST_F(AppViewModelRun, PreviewThenSyncThenACancelledRun) {
    auto& viewModel = makeWithFolders();
    EXPECT_EQ(harness.bookmarks().resolveBookmark("source"), source);
    writeFile(source / "a.txt", "alpha");
    writeFile(source / "sub/b.txt", "bravo");
    QSignalSpy historyChanged(&viewModel, &AppViewModel::historyChanged);
    viewModel.startSync(RunMode::preview);
    ASSERT_TRUE(harness.waitUntilIdle());
    EXPECT_EQ(historyChanged.count(), 1);
    EXPECT_EQ(viewModel.previewItems().size(), 2u);
    EXPECT_TRUE(viewModel.showPreview() && viewModel.lastResult()->isDryRun);
    EXPECT_FALSE(viewModel.lastSyncDate().isValid());
    EXPECT_EQ(notification(1), "Preview Complete");

    std::vector<SyncProgress::Phase> phases;
    QObject::connect(&viewModel, &AppViewModel::syncProgressChanged,
                     [&] { phases.push_back(viewModel.syncProgress().phase); });
    QSignalSpy finished(&viewModel, &AppViewModel::runFinished);
    viewModel.startSync(RunMode::sync);
    EXPECT_FALSE(viewModel.canSync());
    ASSERT_TRUE(harness.waitUntilIdle());
    EXPECT_TRUE(viewModel.lastSyncDate().isValid());
    EXPECT_EQ(finished.count(), 1);
    // Snapshots arrive in order; the run ends at rest whatever came last.
    ASSERT_GE(phases.size(), 3u);
    EXPECT_EQ(phases.front(), SyncProgress::Phase::scanning);
    EXPECT_TRUE(std::is_sorted(phases.begin(), phases.end()));
    EXPECT_EQ(viewModel.syncProgress(), SyncProgress{.phase = SyncProgress::Phase::done});

    ASSERT_EQ(harness.storage().history().size(), 2u);
    const HistoryEntry& entry = harness.storage().history().front();
    EXPECT_EQ(entry.result, viewModel.lastResult());
    const std::string log = logOf(entry);
    EXPECT_NE(log.find("] Copied: sub/b.txt\n"), std::string::npos);
    EXPECT_NE(log.find("Status:      Success\n"), std::string::npos);
    EXPECT_EQ(notification(2), "Sync Complete");
    EXPECT_EQ(harness.notificationServer().received()[1].hints.value("logPath").toString(),
              toQString(harness.storage().logsDirectory() / *entry.logFileName));
    ASSERT_TRUE(QTest::qWaitFor([&] { return viewModel.destStats().has_value(); }));
    EXPECT_EQ(viewModel.destStats()->files, 2);

    startSlowRun(viewModel);
    viewModel.cancelSync();
    ASSERT_TRUE(harness.waitUntilIdle(5000));
    EXPECT_EQ(viewModel.lastResult()->status, SyncStatus::cancelled);
    EXPECT_EQ(notification(3), "Sync Cancelled");
}

TEST_F(AppViewModelRun, AFailedRunIsRecordedWithoutFooterOrNotification) {
    auto& viewModel = harness.make();
    viewModel.setSourcePath(harness.folder("gone"));
    viewModel.setDestinationPath(harness.folder("destination"));
    fs::remove(harness.root() / "gone");
    viewModel.startSync(RunMode::preview);
    ASSERT_TRUE(harness.waitUntilIdle());
    ASSERT_TRUE(viewModel.lastResult());
    EXPECT_EQ(viewModel.lastResult()->status, SyncStatus::failed);
    const HistoryEntry& entry = harness.storage().history().front();
    EXPECT_TRUE(entry.isDryRun && entry.endedAt);
    const std::string log = logOf(entry);
    EXPECT_NE(log.find("Mode:        Preview (dry run)"), std::string::npos);
    EXPECT_EQ(log.find("Status:"), std::string::npos);
    EXPECT_EQ(viewModel.syncProgress().phase, SyncProgress::Phase::done);
    QTest::qWait(200);
    EXPECT_TRUE(harness.notificationServer().received().empty());
}

TEST_F(AppViewModelRun, WatchedChangesStartOneRunAndAreDroppedDuringARun) {
    auto& viewModel = makeWithFolders();
    viewModel.setWatchMode(true);
    QTest::qWait(100); // the watches below the top folder are added from the event loop
    writeFile(source / "edited.txt", "v1");
    ASSERT_TRUE(historyReaches(1));
    EXPECT_EQ(readFile(destination / "edited.txt"), "v1");
    EXPECT_EQ(notification(1), "Watch Sync Complete");

    // A change while a slow run goes on is dropped, not queued.
    startSlowRun(viewModel);
    writeFile(source / "during.txt", "d");
    ASSERT_TRUE(harness.waitUntilIdle());
    QTest::qWait(600);
    EXPECT_EQ(harness.storage().history().size(), 2u);
    EXPECT_FALSE(fs::exists(destination / "during.txt"));
    viewModel.setWatchMode(false);
    EXPECT_FALSE(viewModel.isWatching());

    // The watch ends with its folder; the removal is its last change.
    QSignalSpy watching(&viewModel, &AppViewModel::isWatchingChanged);
    viewModel.setWatchMode(true);
    fs::remove_all(source);
    ASSERT_TRUE(QTest::qWaitFor([&] { return watching.count() == 2; }));
    EXPECT_FALSE(viewModel.isWatching());
    ASSERT_TRUE(historyReaches(3));
}

TEST_F(AppViewModelRun, ScheduledRunLoadsTheProfileAsksForTheWindowAndRunsUnattended) {
    const SyncProfile profile{.source = harness.folder("source").toStdString(),
                              .destination = harness.folder("destination").toStdString(),
                              .deleteExtras = true};
    writeFile(source / "report.txt", "r");
    harness.storage().saveProfiles({profile});
    harness.storage().savePreferences({.scheduledProfileId = profile.id,
                                       .scheduleFrequency = ScheduleFrequency::daily,
                                       .scheduleSilent = false});
    auto& viewModel = harness.make();
    QSignalSpy bringToFront(&viewModel, &AppViewModel::bringToFrontRequested);
    viewModel.runScheduledProfile();
    EXPECT_FALSE(viewModel.isSyncing()) << "the scheduled run is queued, not run at once";
    ASSERT_TRUE(historyReaches(1));
    EXPECT_EQ(bringToFront.count(), 1);
    EXPECT_EQ(readFile(destination / "report.txt"), "r");

    // A source gone empty (an unplugged drive) never empties the backup.
    fs::remove(source / "report.txt");
    viewModel.runScheduledProfile();
    ASSERT_TRUE(historyReaches(2));
    EXPECT_EQ(readFile(destination / "report.txt"), "r");
    EXPECT_EQ(harness.storage().history().front().result->status, SyncStatus::failed);
    EXPECT_EQ(notification(2), "Sync Failed");
}

} // namespace
} // namespace quillfen
