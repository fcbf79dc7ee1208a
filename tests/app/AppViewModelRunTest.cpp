#include "AppHarness.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

// What the view model adds to a run: its flags and progress, the history
// entry, the log and the notification. What the run does is the engine's.
class AppViewModelRun : public ::testing::Test {
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
        return harness.waitForNotifications(count)
                   ? harness.notificationServer().received()[count - 1].summary
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

    test::AppHarness harness;
    fs::path source = harness.root() / "source";
    fs::path destination = harness.root() / "destination";
};

TEST_F(AppViewModelRun, RefusesToStartWithoutBothFolders) {
    auto& viewModel = harness.make();
    harness.dialogs().answer(harness.folder("source"));
    viewModel.chooseSource();
    viewModel.chooseDestination(); // cancelled: changes nothing, the grant included
    EXPECT_EQ(harness.dialogs().requests().back().text, "Choose destination folder");
    EXPECT_TRUE(viewModel.destinationPath().isEmpty());
    EXPECT_FALSE(harness.bookmarks().resolveBookmark("destination"));
    EXPECT_FALSE(viewModel.canSync());
    viewModel.startSync(RunMode::sync);
    EXPECT_FALSE(viewModel.isSyncing());
    EXPECT_TRUE(harness.storage().history().empty());
}

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
