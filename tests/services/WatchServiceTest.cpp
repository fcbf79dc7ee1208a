#include "services/WatchService.h"

#include "ChildProcess.h"
#include "TempDir.h"

#include <QElapsedTimer>
#include <QTest>

#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sched.h>
#include <unistd.h>

namespace quillfen {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// Short timings keep the tests quick; one test uses the real ones. The quiet
// period stays several times the gaps the tests leave between changes, so a
// loaded machine stretching a wait does not end it early.
constexpr int kLatencyMs = 100;
constexpr int kQuietMs = 600;

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
    // Waits for callback number `count`, then as long as a batch and its
    // quiet period take, so that an extra callback would show.
    void expectCalls(int count) {
        (void)QTest::qWaitFor([&] { return calls >= count; }, 5000);
        QTest::qWait(kLatencyMs + kQuietMs);
        EXPECT_EQ(calls, count);
    }
    // Long enough for any batch to be delivered and its quiet period to end.
    static void waitForQuiet() { QTest::qWait((kLatencyMs + kQuietMs) * 3); }

    test::TempDir tree;
    const fs::path root = tree / "src";
    WatchService watcher{std::chrono::milliseconds(kLatencyMs),
                         std::chrono::milliseconds(kQuietMs)};
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
    EXPECT_GE(sinceLastChange, kQuietMs);
}

TEST_F(WatchServiceTest, FoldersMadeMovedInOrMadeDuringAnOverflowAreWatchedMovedOutAreNot) {
    startWatching();
    fs::create_directories(root / "a/b/c");
    expectCalls(1);
    change("a/b/c/deep.txt");
    expectCalls(2);
    test::writeFile(tree / "outside/inner/old.txt", "x");
    fs::rename(tree / "outside", root / "moved");
    expectCalls(3);
    change("moved/inner/new.txt");
    expectCalls(4);
    fs::rename(root / "moved", tree / "gone");
    expectCalls(5);
    test::writeFile(tree / "gone/inner/after.txt", "x");
    waitForQuiet();
    EXPECT_EQ(calls, 5);
    // Far more events than the kernel queues (16384 by default), made without
    // letting the event loop read any of them: the overflow is a change.
    for (int i = 0; i < 7000; ++i)
        std::ofstream(root / ("f" + std::to_string(i))) << 'x';
    fs::create_directories(root / "made/during");
    expectCalls(6);
    change("made/during/file");
    expectCalls(7);
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

TEST_F(WatchServiceTest, IdleWithNothingToWatchStopDropsAPendingCallbackAndTheFolderGoingEnds) {
    for (const auto& path : {tree / "missing", tree.write("plain-file", "x")}) {
        watcher.start(path);
        EXPECT_FALSE(watcher.isWatching()) << path;
    }
    // A source inside the application's own folder would only ever report
    // the application's own writes.
    watcher.setIgnoredFolder(tree.path());
    watcher.start(root);
    EXPECT_FALSE(watcher.isWatching());
    watcher.setIgnoredFolder({});
    startWatching();
    change("sub/file");
    QTest::qWait(kLatencyMs * 2); // batch in, quiet period pending
    watcher.stop();
    EXPECT_FALSE(watcher.isWatching());
    change("sub/file", "while stopped");
    startWatching();
    waitForQuiet();
    EXPECT_EQ(calls, 0) << "a restart reports only new changes";
    fs::remove_all(root);
    expectCalls(1);
    EXPECT_FALSE(watcher.isWatching());
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

bool writeProcFile(const char* path, const std::string& text) {
    std::ofstream file(path);
    file << text;
    file.close();
    return !file.fail();
}

TEST(InotifyTreeTest, WatchLimitLeavesWhatCouldBeWatchedAndSaysSoOnce) {
    test::TempDir dir;
    for (int i = 0; i < 10; ++i)
        fs::create_directories(dir / "tree" / ("f" + std::to_string(i)) / "sub");
    const auto errors = dir / "stderr.txt";
    const auto outcome = test::runInChild([&]() -> std::string {
        // In a user namespace of its own a process may lower the inotify
        // watch limit (here to four) for itself alone.
        if (::unshare(CLONE_NEWUSER) != 0 || !writeProcFile("/proc/self/uid_map", "0 0 1") ||
            !writeProcFile("/proc/sys/user/max_inotify_watches", "4"))
            return "cannot limit";
        ::alarm(30);
        ::dup2(::open(errors.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644), STDERR_FILENO);
        InotifyTree inotify;
        if (!inotify.open(dir / "tree", {}))
            return "not opened";
        while (inotify.walkSome(1s)) {
        }
        const bool rootWatched = inotify.isRootWatched();
        test::writeFile(dir / "tree/top.txt", "x");
        return rootWatched && inotify.readEvents() ? "root watched" : "root not watched";
    });
    if (outcome == "cannot limit")
        GTEST_SKIP() << "user namespaces are not available here";
    EXPECT_EQ(outcome, "root watched");
    const auto text = test::readFile(errors);
    const auto first = text.find("limit of inotify watches");
    EXPECT_TRUE(first != std::string::npos &&
                text.find((dir / "tree").string(), first) != std::string::npos &&
                text.find("limit of inotify watches", first + 1) == std::string::npos)
        << text;
}

} // namespace
} // namespace quillfen
