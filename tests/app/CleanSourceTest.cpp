#include "AppHarness.h"
#include "RecordBuilders.h"
#include "app/AppShell.h"
#include "app/CleanSourceSession.h"
#include "cleanup/TrashService.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using test::AppHarness;
using test::rule;
using test::writeFile;

TEST(CleanSourceSessionTest, MovesMatchesToTheTrashAndRefreshesTheSource) {
    AppHarness harness;
    auto& viewModel = harness.make();
    viewModel.setSourcePath(harness.folder("source"));
    const auto source = harness.root() / "source";
    writeFile(source / "cache/blob", "12345");
    writeFile(source / "notes.tmp", "t");
    writeFile(source / "keep.txt", "k");
    TrashService trash(harness.root() / "Trash");
    // Only enabled rules count; a sheet without any is proved with the sheet.
    viewModel.setExcludePatterns({rule("*.tmp"), rule("cache"), rule("keep.txt", false)});
    ASSERT_TRUE(QTest::qWaitFor([&] { return viewModel.sourceStats().has_value(); }));

    CleanSourceSession session(viewModel, trash);
    EXPECT_TRUE(session.isScanning());
    session.startScan();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !session.isScanning(); }));
    ASSERT_EQ(session.items().size(), 2u);

    session.requestMove();
    EXPECT_TRUE(session.confirmMove());
    session.moveToTrash();
    ASSERT_TRUE(QTest::qWaitFor([&] { return session.movedCount().has_value(); }));
    EXPECT_EQ(session.movedCount(), 2);
    EXPECT_EQ(session.failedCount(), 0);
    session.moveToTrash(); // a second confirmation has nothing left to move
    EXPECT_FALSE(session.isMoving());
    EXPECT_EQ(test::folderNames(source), std::vector<std::string>{"keep.txt"});
    EXPECT_EQ(test::folderNames(trash.homeTrash() / "files"),
              (std::vector<std::string>{"cache", "notes.tmp"}));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return viewModel.sourceStats() && viewModel.sourceStats()->files == 1; }));
}

// Closing the sheet discards its state while the move goes on in the
// background; what the move does when it ends must not touch that state.
TEST(CleanSourceSessionTest, ClosingTheSheetDuringAMoveStillRefreshesTheSource) {
    AppHarness harness;
    auto& viewModel = harness.make();
    const auto source = harness.root() / "source";
    for (int i = 0; i < 2000; ++i)
        writeFile(source / ("cache" + std::to_string(i) + ".tmp"), "t");
    writeFile(source / "keep.txt", "k");
    viewModel.setSourcePath(toQString(source));
    viewModel.setExcludePatterns({rule("*.tmp")});
    const TrashService trash(harness.root() / "Trash");
    {
        CleanSourceSession session(viewModel, trash);
        session.startScan();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !session.isScanning(); }));
        ASSERT_EQ(session.items().size(), 2000u);
        session.moveToTrash();
    }
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return viewModel.sourceStats() && viewModel.sourceStats()->files == 1; }, 30000));
}

TEST(AppShellTest, LaunchArmsOnboardingOnceAndTracksTheLastRun) {
    AppHarness harness;
    auto& viewModel = harness.make();
    AppShell shell(viewModel, harness.bookmarks(), harness.notifications(), harness.defaults(),
                   std::chrono::milliseconds(20));
    int shown = 0;
    shell.showMainWindowHook = [&] {
        ++shown;
    };
    harness.defaults().setHasSeenOnboarding(true);
    shell.launch();
    EXPECT_FALSE(QGuiApplication::quitOnLastWindowClosed());
    QTest::qWait(150);
    EXPECT_FALSE(viewModel.showOnboarding()) << "onboarding is not offered again";
    harness.defaults().setHasSeenOnboarding(false);
    shell.launch();
    EXPECT_FALSE(viewModel.showOnboarding());
    EXPECT_TRUE(QTest::qWaitFor([&] { return viewModel.showOnboarding(); }, 1000));

    EXPECT_EQ(shell.menuEntries().front().title, "No syncs yet");
    SyncResult cancelledPreview;
    cancelledPreview.status = SyncStatus::cancelled;
    cancelledPreview.isDryRun = true;
    emit viewModel.runFinished(cancelledPreview);
    EXPECT_TRUE(shell.lastSyncLine().startsWith(QStringLiteral("\u2298 ")));
    EXPECT_EQ(shell.menuEntries().front().title, shell.lastSyncLine());

    shell.trigger(StatusMenuAction::openTerms);
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(viewModel.showTerms()) << "the flag follows the window coming forward";
    EXPECT_TRUE(QTest::qWaitFor([&] { return viewModel.showTerms(); }, 1000));
    QSignalSpy quit(&shell, &AppShell::quitRequested);
    shell.trigger(StatusMenuAction::quit);
    EXPECT_EQ(quit.count(), 1);
}

} // namespace
} // namespace quillfen
