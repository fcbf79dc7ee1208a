#include "AppHarness.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using test::readFile;
using test::writeFile;

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
    std::filesystem::path source() const { return harness.root() / "source"; }
    std::filesystem::path destination() const { return harness.root() / "destination"; }
    std::string logOf(const HistoryEntry& entry) {
        return readFile(harness.storage().logsDirectory() / entry.logFileName.value());
    }
    bool waitForPhase(AppViewModel& viewModel, SyncProgress::Phase phase) {
        return QTest::qWaitFor([&] { return viewModel.syncProgress().phase == phase; });
    }
    QString firstNotification() {
        return harness.waitForNotifications(1) ? harness.notificationServer().received()[0].summary
                                               : QString();
    }
    static void expectAtRest(const AppViewModel& viewModel) {
        SyncProgress done;
        done.phase = SyncProgress::Phase::done;
        EXPECT_EQ(viewModel.syncProgress(), done);
    }

    test::AppHarness harness;
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
    viewModel.startSync(false, false);
    EXPECT_FALSE(viewModel.isSyncing());
    EXPECT_TRUE(harness.storage().history().empty());
}

TEST_F(AppViewModelRun, SyncCompletesInOrderAndLeavesItsTraces) {
    auto& viewModel = makeWithFolders();
    writeFile(source() / "a.txt", "alpha");
    writeFile(source() / "sub/b.txt", "bravo");
    EXPECT_EQ(harness.bookmarks().resolveBookmark("source"), source());
    std::vector<SyncProgress::Phase> phases;
    QObject::connect(&viewModel, &AppViewModel::syncProgressChanged,
                     [&] { phases.push_back(viewModel.syncProgress().phase); });
    QSignalSpy finished(&viewModel, &AppViewModel::runFinished);
    viewModel.startSync(false, false);
    EXPECT_FALSE(viewModel.canSync());
    ASSERT_TRUE(harness.waitUntilIdle());

    EXPECT_EQ(readFile(destination() / "sub/b.txt"), "bravo");
    ASSERT_TRUE(viewModel.lastResult());
    EXPECT_EQ(viewModel.lastResult()->status, SyncStatus::success);
    EXPECT_EQ(viewModel.lastResult()->filesCopied, 2);
    EXPECT_TRUE(viewModel.lastSyncDate().isValid());
    EXPECT_EQ(finished.count(), 1);
    // Snapshots arrive in order; the run ends at rest whatever came last.
    ASSERT_GE(phases.size(), 3u);
    EXPECT_EQ(phases.front(), SyncProgress::Phase::scanning);
    EXPECT_TRUE(std::is_sorted(phases.begin(), phases.end()));
    expectAtRest(viewModel);

    ASSERT_EQ(harness.storage().history().size(), 1u);
    const HistoryEntry& entry = harness.storage().history().front();
    EXPECT_EQ(entry.result, viewModel.lastResult());
    EXPECT_EQ(*entry.logFileName, entry.id.toString() + ".log");
    const std::string log = logOf(entry);
    EXPECT_NE(log.find("Mode:        Sync\n"), std::string::npos);
    EXPECT_NE(log.find("] Copied: sub/b.txt\n"), std::string::npos);
    EXPECT_NE(log.find("Status:      Success\n"), std::string::npos);

    EXPECT_EQ(firstNotification(), "Sync Complete");
    EXPECT_EQ(harness.notificationServer().received()[0].hints.value("logPath").toString(),
              toQString(harness.storage().logsDirectory() / *entry.logFileName));
    ASSERT_TRUE(QTest::qWaitFor([&] { return viewModel.destStats().has_value(); }));
    EXPECT_EQ(viewModel.destStats()->files, 2);
}

TEST_F(AppViewModelRun, PreviewOpensItsSheetAndKeepsTheLastSyncDate) {
    auto& viewModel = makeWithFolders();
    writeFile(source() / "new.txt", "12345");
    viewModel.startSync(true, false);
    ASSERT_TRUE(harness.waitUntilIdle());
    ASSERT_EQ(viewModel.previewItems().size(), 1u);
    EXPECT_EQ(viewModel.previewItems()[0].relativePath, "new.txt");
    EXPECT_TRUE(viewModel.showPreview());
    const SyncResult& result = *viewModel.lastResult();
    EXPECT_TRUE(result.isDryRun);
    EXPECT_EQ(result.bytesTransferred, 5);
    EXPECT_EQ(result.duration, 0);
    EXPECT_FALSE(viewModel.lastSyncDate().isValid());
    EXPECT_TRUE(harness.storage().history().front().isDryRun);
    EXPECT_FALSE(std::filesystem::exists(destination() / "new.txt"));
    EXPECT_EQ(firstNotification(), "Preview Complete");
}

TEST_F(AppViewModelRun, AFailedRunIsRecordedWithoutFooterOrNotification) {
    auto& viewModel = harness.make();
    viewModel.setSourcePath(harness.folder("gone"));
    viewModel.setDestinationPath(harness.folder("destination"));
    std::filesystem::remove(harness.root() / "gone");
    viewModel.startSync(true, false);
    ASSERT_TRUE(harness.waitUntilIdle());

    ASSERT_TRUE(viewModel.lastResult());
    EXPECT_EQ(viewModel.lastResult()->status, SyncStatus::failed);
    EXPECT_EQ(viewModel.lastResult()->errorMessage,
              "Source not found: " + (harness.root() / "gone").string());
    EXPECT_FALSE(viewModel.lastResult()->isDryRun);
    const HistoryEntry& entry = harness.storage().history().front();
    EXPECT_TRUE(entry.isDryRun);
    EXPECT_TRUE(entry.endedAt);
    const std::string log = logOf(entry);
    EXPECT_NE(log.find("Mode:        Preview (dry run)"), std::string::npos);
    EXPECT_EQ(log.find("Status:"), std::string::npos);
    EXPECT_FALSE(viewModel.lastSyncDate().isValid());
    expectAtRest(viewModel);
    QTest::qWait(200);
    EXPECT_TRUE(harness.notificationServer().received().empty());
}

TEST_F(AppViewModelRun, CancellingAThrottledRunCompletesItAsCancelled) {
    auto& viewModel = makeWithFolders();
    writeFile(source() / "big.bin", std::string(400 * 1024, 'x'));
    viewModel.setBandwidthLimit(64);
    viewModel.startSync(false, false);
    ASSERT_TRUE(waitForPhase(viewModel, SyncProgress::Phase::syncing));
    viewModel.cancelSync();
    ASSERT_TRUE(harness.waitUntilIdle(5000));
    EXPECT_EQ(viewModel.lastResult()->status, SyncStatus::cancelled);
    EXPECT_TRUE(viewModel.lastSyncDate().isValid());
    EXPECT_FALSE(std::filesystem::exists(destination() / "big.bin"));
    EXPECT_EQ(firstNotification(), "Sync Cancelled");
}

TEST_F(AppViewModelRun, WatchedChangesStartOneRunAndAreDroppedDuringARun) {
    auto& viewModel = makeWithFolders();
    viewModel.setWatchMode(true);
    EXPECT_TRUE(viewModel.isWatching());
    QTest::qWait(100); // the watches below the top folder are added from the event loop
    writeFile(source() / "edited.txt", "v1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return harness.storage().history().size() == 1; }));
    ASSERT_TRUE(harness.waitUntilIdle());
    EXPECT_EQ(readFile(destination() / "edited.txt"), "v1");
    EXPECT_EQ(firstNotification(), "Watch Sync Complete");

    // A change while a slow run goes on is dropped, not queued.
    viewModel.setBandwidthLimit(100);
    writeFile(source() / "slow.bin", std::string(300 * 1024, 's'));
    ASSERT_TRUE(waitForPhase(viewModel, SyncProgress::Phase::syncing));
    writeFile(source() / "during.txt", "d");
    ASSERT_TRUE(harness.waitUntilIdle());
    QTest::qWait(600);
    EXPECT_EQ(harness.storage().history().size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(destination() / "during.txt"));
    viewModel.setWatchMode(false);
    EXPECT_FALSE(viewModel.isWatching());
}

TEST_F(AppViewModelRun, ScheduledRunLoadsTheProfileAndAsksForTheWindow) {
    SyncProfile profile;
    profile.source = harness.folder("source").toStdString();
    profile.destination = harness.folder("destination").toStdString();
    writeFile(source() / "report.txt", "r");
    harness.storage().setProfiles({profile});
    AppPreferences preferences;
    preferences.scheduledProfileId = profile.id;
    preferences.scheduleFrequency = ScheduleFrequency::daily;
    preferences.scheduleSilent = false;
    harness.storage().setPreferences(preferences);

    auto& viewModel = harness.make();
    QSignalSpy bringToFront(&viewModel, &AppViewModel::bringToFrontRequested);
    viewModel.runScheduledProfile();
    EXPECT_FALSE(viewModel.isSyncing()) << "the scheduled run is queued, not run at once";
    ASSERT_TRUE(QTest::qWaitFor([&] { return harness.storage().history().size() == 1; }));
    ASSERT_TRUE(harness.waitUntilIdle());
    EXPECT_EQ(bringToFront.count(), 1);
    EXPECT_EQ(readFile(destination() / "report.txt"), "r");
}

} // namespace
} // namespace quillfen
