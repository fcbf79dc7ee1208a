#include "services/WatchService.h"

#include "TempDir.h"

#include <QElapsedTimer>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace quillfen {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// Short timings keep the tests quick; one test below uses the real ones.
constexpr auto kLatency = 100ms;
constexpr auto kQuiet = 300ms;

class WatchServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(tree.path() / "src");
        watcher.onChange = [this] {
            ++calls;
            sinceLastChange = lastChange.elapsed();
        };
    }

    fs::path root() const { return tree.path() / "src"; }

    void startWatching() {
        watcher.start(root());
        ASSERT_TRUE(watcher.isWatching());
        QTest::qWait(50); // lets the first slice of the walk run
    }

    void change(const fs::path& relative, std::string_view content = "x") {
        test::writeFile(root() / relative, content);
        lastChange.start();
    }

    // Waits long enough for any batch to be delivered and its quiet period to end.
    static void waitForQuiet() { QTest::qWait(static_cast<int>((kLatency + kQuiet).count()) * 3); }

    test::TempDir tree;
    WatchService watcher{kLatency, kQuiet};
    int calls = 0;
    QElapsedTimer lastChange;
    qint64 sinceLastChange = -1;
};

TEST_F(WatchServiceTest, BurstOfChangesGivesOneCallbackAfterTheQuietPeriod) {
    startWatching();
    for (int i = 0; i < 10; ++i) {
        change("file" + std::to_string(i % 3), std::string(i + 1, 'a'));
        QTest::qWait(30);
    }
    EXPECT_EQ(calls, 0);
    waitForQuiet();
    EXPECT_EQ(calls, 1);
    EXPECT_GE(sinceLastChange, kQuiet.count());
}

TEST_F(WatchServiceTest, ChangesCloserThanTheQuietPeriodPostponeTheCallback) {
    startWatching();
    for (int i = 0; i < 6; ++i) {
        change("file", std::to_string(i));
        QTest::qWait(200);
    }
    EXPECT_EQ(calls, 0);
    waitForQuiet();
    EXPECT_EQ(calls, 1);
}

TEST_F(WatchServiceTest, StopAndRestartDropPendingCallbacks) {
    startWatching();
    change("file");
    QTest::qWait(static_cast<int>(kLatency.count()) * 2); // batch delivered, quiet period pending
    watcher.stop();
    EXPECT_FALSE(watcher.isWatching());
    waitForQuiet();
    EXPECT_EQ(calls, 0);

    // Changes made while stopped are not reported after a new start.
    change("file", "while stopped");
    startWatching();
    waitForQuiet();
    EXPECT_EQ(calls, 0);

    // Starting on another folder drops the old folder's pending quiet period.
    change("file", "again");
    QTest::qWait(static_cast<int>(kLatency.count()) * 2);
    fs::create_directories(tree.path() / "other");
    watcher.start(tree.path() / "other");
    EXPECT_TRUE(watcher.isWatching());
    waitForQuiet();
    EXPECT_EQ(calls, 0);
}

TEST_F(WatchServiceTest, FoldersThatAppearLaterAreWatchedToo) {
    startWatching();
    fs::create_directories(root() / "a/b/c");
    lastChange.start();
    waitForQuiet();
    EXPECT_EQ(calls, 1);

    change("a/b/c/deep.txt");
    waitForQuiet();
    EXPECT_EQ(calls, 2);

    // A folder moved in from outside the tree is watched at its new place.
    test::writeFile(tree.path() / "outside/inner/old.txt", "x");
    fs::rename(tree.path() / "outside", root() / "moved");
    waitForQuiet();
    EXPECT_EQ(calls, 3);
    change("moved/inner/new.txt");
    waitForQuiet();
    EXPECT_EQ(calls, 4);

    // A folder moved out of the tree no longer reports anything.
    fs::rename(root() / "moved", tree.path() / "gone");
    waitForQuiet();
    EXPECT_EQ(calls, 5);
    test::writeFile(tree.path() / "gone/inner/after.txt", "x");
    waitForQuiet();
    EXPECT_EQ(calls, 5);
}

TEST_F(WatchServiceTest, ExistingSubfoldersAreWatchedButNotThroughLinks) {
    test::writeFile(root() / "one/two/three/file.txt", "x");
    test::writeFile(tree.path() / "elsewhere/file.txt", "x");
    fs::create_directory_symlink(tree.path() / "elsewhere", root() / "link");
    fs::create_directory_symlink(root(), root() / "one/loop");
    startWatching();

    test::writeFile(tree.path() / "elsewhere/file.txt", "changed through the link's target");
    waitForQuiet();
    EXPECT_EQ(calls, 0);

    change("one/two/three/file.txt", "changed");
    waitForQuiet();
    EXPECT_EQ(calls, 1);
}

TEST_F(WatchServiceTest, ReadingAndTheIgnoredFolderTriggerNothing) {
    test::writeFile(root() / "data/history.json", "[]");
    test::writeFile(root() / "docs/read-me.txt", "content");
    watcher.setIgnoredFolder(root() / "data");
    startWatching();

    EXPECT_EQ(test::readFile(root() / "docs/read-me.txt"), "content");
    for (const auto& entry : fs::recursive_directory_iterator(root()))
        (void)entry.status();
    test::writeFile(root() / "data/history.json", "[1]");
    test::writeFile(root() / "data/Logs/run.log", "line");
    fs::remove(root() / "data/Logs/run.log");
    waitForQuiet();
    EXPECT_EQ(calls, 0);

    change("docs/read-me.txt", "edited");
    waitForQuiet();
    EXPECT_EQ(calls, 1);
}

TEST_F(WatchServiceTest, StaysIdleWhenThereIsNothingToWatch) {
    watcher.start(tree.path() / "missing");
    EXPECT_FALSE(watcher.isWatching());
    test::writeFile(tree.path() / "plain-file", "x");
    watcher.start(tree.path() / "plain-file");
    EXPECT_FALSE(watcher.isWatching());

    // A source inside the application's own folder would only ever report the
    // application's own writes.
    watcher.setIgnoredFolder(tree.path());
    watcher.start(root());
    EXPECT_FALSE(watcher.isWatching());
}

TEST_F(WatchServiceTest, RemovingTheWatchedFolderIsAChangeAndEndsTheWatch) {
    test::writeFile(root() / "sub/file", "x");
    startWatching();
    fs::remove_all(root());
    lastChange.start();
    waitForQuiet();
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(watcher.isWatching());
}

TEST_F(WatchServiceTest, QueueOverflowIsAChangeAndFoldersMadeMeanwhileAreWatched) {
    startWatching();
    // Far more events than the kernel queues (16384 by default), made without
    // letting the event loop read any of them.
    for (int i = 0; i < 7000; ++i)
        std::ofstream(root() / ("f" + std::to_string(i))) << 'x';
    fs::create_directories(root() / "made/during");
    lastChange.start();
    waitForQuiet();
    EXPECT_EQ(calls, 1);

    change("made/during/file");
    waitForQuiet();
    EXPECT_EQ(calls, 2);
}

TEST(WatchServiceRealTimingTest, OneChangeIsReportedAboutSevenSecondsLater) {
    test::TempDir tree;
    WatchService watcher;
    QElapsedTimer sinceChange;
    qint64 calledAfter = -1;
    int calls = 0;
    watcher.onChange = [&] {
        ++calls;
        calledAfter = sinceChange.elapsed();
    };
    watcher.start(tree.path());
    QTest::qWait(50);
    test::writeFile(tree.path() / "file", "x");
    sinceChange.start();

    QTest::qWait(6500);
    EXPECT_EQ(calls, 0) << "called after " << calledAfter << " ms";
    QTest::qWait(2000);
    EXPECT_EQ(calls, 1);
    // 2 s of latency, then 5 s of quiet.
    EXPECT_GE(calledAfter, 6900);
    EXPECT_LE(calledAfter, 8500);
}

} // namespace
} // namespace quillfen
