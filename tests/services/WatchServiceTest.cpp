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

// Short timings keep the tests quick; one test uses the real ones.
constexpr auto kLatency = 100ms;
constexpr auto kQuiet = 300ms;

class WatchServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(root);
        watcher.onChange = [this] {
            ++calls;
            sinceLastChange = lastChange.elapsed();
        };
    }

    void startWatching() {
        watcher.start(root);
        ASSERT_TRUE(watcher.isWatching());
        QTest::qWait(50); // lets the first slice of the walk run
    }

    void change(const fs::path& relative, std::string_view content = "x") {
        test::writeFile(root / relative, content);
        lastChange.start();
    }

    // Long enough for any batch to be delivered and its quiet period to end.
    static void waitForQuiet() { QTest::qWait(static_cast<int>((kLatency + kQuiet).count()) * 3); }

    // Waits for callback number `count`, then as long as a batch and its quiet
    // period take, so that an extra callback would show.
    void expectCalls(int count) {
        (void)QTest::qWaitFor([&] { return calls >= count; }, 5000);
        QTest::qWait(static_cast<int>((kLatency + kQuiet).count()));
        EXPECT_EQ(calls, count);
    }

    test::TempDir tree;
    const fs::path root = tree / "src";
    WatchService watcher{kLatency, kQuiet};
    int calls = 0;
    QElapsedTimer lastChange;
    qint64 sinceLastChange = -1;
};

TEST_F(WatchServiceTest, ChangesCloserThanTheQuietPeriodGiveOneCallbackAfterIt) {
    startWatching();
    // Bursts inside one batch, and batches closer together than the quiet period.
    for (int i = 0; i < 8; ++i) {
        change("file" + std::to_string(i % 3), std::string(i + 1, 'a'));
        QTest::qWait(i % 2 == 0 ? 20 : 150);
    }
    EXPECT_EQ(calls, 0);
    expectCalls(1);
    EXPECT_GE(sinceLastChange, kQuiet.count());
}

TEST_F(WatchServiceTest, StopAndRestartDropPendingCallbacks) {
    startWatching();
    change("file");
    QTest::qWait(static_cast<int>(kLatency.count()) * 2); // batch in, quiet period pending
    watcher.stop();
    EXPECT_FALSE(watcher.isWatching());
    waitForQuiet();
    EXPECT_EQ(calls, 0);

    // Changes made while stopped are not reported after a new start.
    change("file", "while stopped");
    startWatching();
    waitForQuiet();
    EXPECT_EQ(calls, 0);
}

TEST_F(WatchServiceTest, FoldersThatAppearLaterAreWatchedToo) {
    startWatching();
    fs::create_directories(root / "a/b/c");
    expectCalls(1);
    change("a/b/c/deep.txt");
    expectCalls(2);

    // A folder moved in from outside the tree is watched at its new place.
    test::writeFile(tree / "outside/inner/old.txt", "x");
    fs::rename(tree / "outside", root / "moved");
    expectCalls(3);
    change("moved/inner/new.txt");
    expectCalls(4);

    // A folder moved out of the tree no longer reports anything.
    fs::rename(root / "moved", tree / "gone");
    expectCalls(5);
    test::writeFile(tree / "gone/inner/after.txt", "x");
    waitForQuiet();
    EXPECT_EQ(calls, 5);
}

TEST_F(WatchServiceTest, ReadingLinkTargetsAndTheIgnoredFolderTriggerNothing) {
    test::writeFile(root / "one/two/three/file.txt", "x");
    test::writeFile(root / "data/history.json", "[]");
    test::writeFile(tree / "elsewhere/file.txt", "x");
    fs::create_directory_symlink(tree / "elsewhere", root / "link");
    fs::create_directory_symlink(root, root / "one/loop");
    watcher.setIgnoredFolder(root / "data");
    startWatching();

    EXPECT_EQ(test::readFile(root / "one/two/three/file.txt"), "x");
    for (const auto& entry : fs::recursive_directory_iterator(root))
        (void)entry.status();
    test::writeFile(tree / "elsewhere/file.txt", "changed through the link's target");
    test::writeFile(root / "data/history.json", "[1]");
    test::writeFile(root / "data/Logs/run.log", "line");
    fs::remove(root / "data/Logs/run.log");
    waitForQuiet();
    EXPECT_EQ(calls, 0);

    change("one/two/three/file.txt", "changed");
    expectCalls(1);
}

TEST_F(WatchServiceTest, StaysIdleWhenThereIsNothingToWatchAndEndsWhenTheFolderGoes) {
    watcher.start(tree / "missing");
    EXPECT_FALSE(watcher.isWatching());
    watcher.start(tree.write("plain-file", "x"));
    EXPECT_FALSE(watcher.isWatching());

    // Removing the watched folder is a change, and the last one.
    test::writeFile(root / "sub/file", "x");
    startWatching();
    fs::remove_all(root);
    expectCalls(1);
    EXPECT_FALSE(watcher.isWatching());

    // A source inside the application's own folder would only ever report the
    // application's own writes.
    fs::create_directories(root);
    watcher.setIgnoredFolder(tree.path());
    watcher.start(root);
    EXPECT_FALSE(watcher.isWatching());
}

TEST_F(WatchServiceTest, QueueOverflowIsAChangeAndFoldersMadeMeanwhileAreWatched) {
    startWatching();
    // Far more events than the kernel queues (16384 by default), made without
    // letting the event loop read any of them.
    for (int i = 0; i < 7000; ++i)
        std::ofstream(root / ("f" + std::to_string(i))) << 'x';
    fs::create_directories(root / "made/during");
    expectCalls(1);
    change("made/during/file");
    expectCalls(2);
}

TEST_F(WatchServiceTest, WithTheRealTimingsOneChangeIsReportedAboutSevenSecondsLater) {
    WatchService real;
    real.onChange = watcher.onChange;
    real.start(root);
    QTest::qWait(50);
    change("file");
    QTest::qWait(6500);
    EXPECT_EQ(calls, 0) << "called after " << sinceLastChange << " ms";
    QTest::qWait(2000);
    EXPECT_EQ(calls, 1);
    // 2 s of latency, then 5 s of quiet.
    EXPECT_GE(sinceLastChange, 6900);
    EXPECT_LE(sinceLastChange, 8500);
}

} // namespace
} // namespace quillfen
