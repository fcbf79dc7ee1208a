#include "AppHarness.h"
#include "app/AppShell.h"
#include "app/CleanSourceScanner.h"
#include "app/CleanSourceSession.h"
#include "app/TrashService.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using test::AppHarness;
using test::writeFile;

std::vector<std::string> paths(const std::vector<CleanItem>& items) {
    std::vector<std::string> result;
    for (const auto& item : items)
        result.push_back(item.relativePath);
    return result;
}

TEST(CleanSourceScan, ListsMatchesButNothingBelowAMatchedFolder) {
    test::TempDir root;
    writeFile(root / "a/node_modules/x/node_modules/y.js", "y");
    writeFile(root / "deep/er/.DS_Store", "meta");
    writeFile(root / "keep.txt", "k");
    auto items = CleanSourceScanner::scanForMatches(root.path(), {".DS_Store", "node_modules"});
    std::sort(items.begin(), items.end(),
              [](const auto& a, const auto& b) { return a.relativePath < b.relativePath; });
    ASSERT_EQ(paths(items), (std::vector<std::string>{"a/node_modules", "deep/er/.DS_Store"}));
    EXPECT_TRUE(items[0].isDirectory);
    EXPECT_EQ(items[0].bytes, 0);
    EXPECT_EQ(items[1].bytes, 4);
    EXPECT_EQ(items[1].url, std::filesystem::canonical(root.path()) / "deep/er/.DS_Store");
    EXPECT_TRUE(CleanSourceScanner::scanForMatches(root / "missing", {"*"}).empty());
    // A rule for folders only leaves a file of that name alone.
    EXPECT_TRUE(CleanSourceScanner::scanForMatches(root.path(), {"keep.txt/"}).empty());
}

TEST(CleanSourceSessionTest, MovesMatchesToTheTrashAndRefreshesTheSource) {
    AppHarness harness;
    auto& viewModel = harness.make();
    viewModel.setSourcePath(harness.folder("source"));
    const auto source = harness.root() / "source";
    writeFile(source / "cache/blob", "12345");
    writeFile(source / "notes.tmp", "t");
    writeFile(source / "keep.txt", "k");
    ExclusionPattern tmp{Uuid::random(), "*.tmp", "*.tmp", true, false};
    ExclusionPattern cache{Uuid::random(), "cache", "cache", true, false};
    ExclusionPattern off{Uuid::random(), "keep.txt", "keep.txt", false, false};
    viewModel.setExcludePatterns({tmp, cache, off});
    ASSERT_TRUE(QTest::qWaitFor([&] { return viewModel.sourceStats().has_value(); }));

    TrashService trash;
    CleanSourceSession session(viewModel, trash);
    EXPECT_TRUE(session.isScanning());
    session.startScan();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !session.isScanning(); }));
    ASSERT_EQ(session.items().size(), 2u);
    EXPECT_EQ(session.summaryText(), QStringLiteral("2 items \u00B7 1 byte"));

    session.requestMove();
    EXPECT_TRUE(session.confirmMove());
    session.moveToTrash();
    ASSERT_TRUE(QTest::qWaitFor([&] { return session.movedCount().has_value(); }));
    EXPECT_EQ(session.movedCount(), 2);
    EXPECT_EQ(session.failedCount(), 0);
    EXPECT_FALSE(std::filesystem::exists(source / "notes.tmp"));
    EXPECT_TRUE(std::filesystem::exists(source / "keep.txt"));
    // Everything went to the trash of this fresh home, recoverable.
    const auto trashFiles = TrashService::defaultHomeTrash() / "files";
    EXPECT_TRUE(std::filesystem::exists(trashFiles / "notes.tmp"));
    EXPECT_TRUE(std::filesystem::exists(trashFiles / "cache" / "blob"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return viewModel.sourceStats() && viewModel.sourceStats()->files == 1; }));
}

TEST(CleanSourceSessionTest, NothingToScanWithoutEnabledRules) {
    AppHarness harness;
    auto& viewModel = harness.make();
    viewModel.setSourcePath(harness.folder("source"));
    viewModel.setExcludePatterns({});
    TrashService trash;
    CleanSourceSession session(viewModel, trash);
    session.startScan();
    EXPECT_FALSE(session.isScanning());
    EXPECT_TRUE(session.items().empty());
}

TEST(AppShellTest, LaunchArmsTheScheduleOffersOnboardingAndTracksTheLastRun) {
    AppHarness harness;
    auto& viewModel = harness.make();
    UserDefaults defaults(toQString(harness.root() / "shell.conf"));
    std::ostringstream output;
    test::PrivateSessionBus bus;
    NotificationService notifications(bus.connect(), output);
    AppShell shell(viewModel, harness.bookmarks(), notifications, defaults,
                   std::chrono::milliseconds(50));
    int shown = 0;
    shell.showMainWindowHook = [&] {
        ++shown;
    };

    shell.launch();
    EXPECT_FALSE(QGuiApplication::quitOnLastWindowClosed());
    EXPECT_FALSE(viewModel.showOnboarding());
    EXPECT_TRUE(QTest::qWaitFor([&] { return viewModel.showOnboarding(); }, 1000));

    EXPECT_EQ(shell.menuEntries().front().title, "No syncs yet");
    SyncResult cancelledPreview;
    cancelledPreview.status = SyncStatus::cancelled;
    cancelledPreview.isDryRun = true;
    cancelledPreview.filesCopied = 3;
    emit viewModel.runFinished(cancelledPreview);
    EXPECT_TRUE(shell.lastSyncLine().startsWith(QStringLiteral("\u2298 ")));
    EXPECT_TRUE(shell.lastSyncLine().endsWith(QStringLiteral(" \u00B7 Preview \u00B7 3 to copy")));
    EXPECT_TRUE(shell.toolTip().startsWith(QStringLiteral("Quillfen \u00B7 Last sync \u2298 ")));
    EXPECT_EQ(shell.menuEntries().front().title, shell.lastSyncLine());

    shell.trigger(StatusMenuAction::openTerms);
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(viewModel.showTerms()) << "the flag follows the window coming forward";
    EXPECT_TRUE(QTest::qWaitFor([&] { return viewModel.showTerms(); }, 1000));
    QSignalSpy quit(&shell, &AppShell::quitRequested);
    shell.trigger(StatusMenuAction::quit);
    EXPECT_EQ(quit.count(), 1);
}

TEST(AppShellTest, OnboardingIsNotOfferedAgain) {
    AppHarness harness;
    auto& viewModel = harness.make();
    UserDefaults defaults(toQString(harness.root() / "shell.conf"));
    defaults.setHasSeenOnboarding(true);
    std::ostringstream output;
    test::PrivateSessionBus bus;
    NotificationService notifications(bus.connect(), output);
    AppShell shell(viewModel, harness.bookmarks(), notifications, defaults,
                   std::chrono::milliseconds(20));
    shell.launch();
    QTest::qWait(150);
    EXPECT_FALSE(viewModel.showOnboarding());
}

} // namespace
} // namespace quillfen
