#include "EngineTestSupport.h"
#include "TempDir.h"
#include "engine/SyncError.h"

#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <thread>

namespace quillfen {
namespace {

using test::readFile;

std::string hex(const Sha256Digest& digest) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (const auto byte : digest) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 15];
    }
    return text;
}

TEST(CopyAndVerifyTest, ThrottledCopyKeepsToTheLimitOnAverage) {
    test::TempDir root;
    const std::string content(512 * 1024, 'q');
    const auto source = root.write("a", content);
    const auto started = std::chrono::steady_clock::now();
    SyncEngine().throttledCopy(source, root / "out/b", 256);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(readFile(root / "out/b"), content);
    // 512 KiB at 256 KiB per second: about two seconds.
    EXPECT_GT(took.count(), 1.5);
    EXPECT_LT(took.count(), 4.0);
}

TEST(CopyAndVerifyTest, ThrottledCopyOfAnEmptyFileAndAnOverflowingLimit) {
    test::TempDir root;
    const auto empty = root.write("empty", "");
    SyncEngine().throttledCopy(empty, root / "copy", 1);
    EXPECT_TRUE(std::filesystem::exists(root / "copy"));
    EXPECT_EQ(std::filesystem::file_size(root / "copy"), 0u);

    const auto big = root.write("big", std::string(3 * 262'144, 'b'));
    const auto started = std::chrono::steady_clock::now();
    SyncEngine().throttledCopy(big, root / "big-copy", std::numeric_limits<std::int64_t>::max());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1))
        << "a limit too large to count in bytes is no limit";
    EXPECT_EQ(readFile(root / "big-copy"), readFile(big));
}

TEST(CopyAndVerifyTest, ThrottledCopyFailsClearlyAndStopsAtOnce) {
    test::TempDir root;
    try {
        SyncEngine().throttledCopy(root / "missing", root / "copy", 10);
        FAIL();
    } catch (const SyncError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot read: " + (root / "missing").string());
    }
    const auto source = root.write("a", std::string(300'000, 'a'));
    std::stop_source stop;
    std::jthread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        stop.request_stop();
    });
    const auto started = std::chrono::steady_clock::now();
    EXPECT_THROW(SyncEngine().throttledCopy(source, root / "copy", 1, stop.get_token()), SyncError);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    EXPECT_FALSE(std::filesystem::exists(root / "copy"));
}

TEST(CopyAndVerifyTest, AProcessEndingAtOnceLeavesNoTemporaryFile) {
    test::TempDir root;
    const auto source = root.write("a", std::string(600'000, 'a'));
    std::filesystem::create_directories(root / "out");
    std::stop_source stop;
    std::jthread copy([&] {
        EXPECT_THROW(SyncEngine().throttledCopy(source, root / "out/a", 64, stop.get_token()),
                     SyncError);
    });
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (test::temporaryFilesIn(root / "out").empty() &&
           std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_FALSE(test::temporaryFilesIn(root / "out").empty());
    SyncEngine::removeUnfinishedCopies();
    EXPECT_TRUE(test::temporaryFilesIn(root / "out").empty());
    stop.request_stop();
}

TEST(CopyAndVerifyTest, CopyIfNeededCopiesOnlyWhatDiffers) {
    test::TempDir root;
    const auto source = root.write("a", "content");
    SyncEngine engine;
    EXPECT_TRUE(engine.copyIfNeeded(source, root / "new/deeper/b", 0));
    EXPECT_FALSE(engine.copyIfNeeded(source, root / "new/deeper/b", 0));
    EXPECT_EQ(readFile(root / "new/deeper/b"), "content");
    test::writeFile(source, "changed!");
    EXPECT_TRUE(engine.copyIfNeeded(source, root / "new/deeper/b", 4));
    EXPECT_EQ(readFile(root / "new/deeper/b"), "changed!");
}

TEST(CopyAndVerifyTest, FileDigestIsTheSha256OfTheContent) {
    test::TempDir root;
    const auto empty = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
    EXPECT_EQ(hex(*SyncEngine::fileDigest(root.write("abc", "abc"))),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(hex(*SyncEngine::fileDigest(root.write("empty", ""))), empty);
    EXPECT_EQ(hex(*SyncEngine::fileDigest(root / "missing")), empty);
    EXPECT_FALSE(SyncEngine::fileDigest({}).has_value());
    const std::string large(200'000, 'x');
    EXPECT_NE(SyncEngine::fileDigest(root.write("large", large)),
              SyncEngine::fileDigest(root.write("large2", large + "y")));
}

TEST(CopyAndVerifyTest, VerificationCatchesACopyChangedAfterItWasWritten) {
    test::TempDir root;
    root.write("src/a", "original");
    root.write("src/b", "fine");
    root.write("src/empty", "");
    SyncEngine engine;
    test::Recorder recorder;
    recorder.attach(engine);
    engine.onLog = [&](const std::string& line) {
        recorder.lines.push_back(line);
        if (line == "Copied: a")
            test::writeFile(root / "dst/a", "tampered");
    };
    SyncOptions options;
    options.verify = true;
    const auto result = engine.sync(root / "src", root / "dst", options);
    EXPECT_EQ(result.status, SyncStatus::success);
    EXPECT_EQ(result.verificationFailures, 1);
    EXPECT_EQ(result.failedCount, 0);
    EXPECT_TRUE(recorder.logged("Verify failed: a"));
    EXPECT_FALSE(recorder.logged("Verify failed: empty"));
    const auto& reports = recorder.progress;
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports[reports.size() - 2].phase, SyncProgress::Phase::verifying);
    EXPECT_EQ(reports[reports.size() - 2].currentFile, reports.back().currentFile);

    recorder.progress.clear();
    const auto again = engine.sync(root / "src", root / "dst", options);
    EXPECT_EQ(again.verificationFailures, 0) << "nothing copied, nothing verified";
    for (const auto& progress : recorder.progress)
        EXPECT_NE(progress.phase, SyncProgress::Phase::verifying);
}

TEST(CopyAndVerifyTest, CancellingDuringVerificationKeepsTheFailuresFoundSoFar) {
    test::TempDir root;
    root.write("src/a", "a");
    root.write("src/b", "b");
    std::stop_source stop;
    SyncEngine engine;
    engine.onLog = [&](const std::string& line) {
        if (line.starts_with("Copied: "))
            test::writeFile(root / "dst" / line.substr(8), "X");
        if (line.starts_with("Verify failed: "))
            stop.request_stop();
    };
    SyncOptions options;
    options.verify = true;
    const auto result = engine.sync(root / "src", root / "dst", options, stop.get_token());
    EXPECT_EQ(result.status, SyncStatus::cancelled);
    EXPECT_EQ(result.verificationFailures, 1);
}

} // namespace
} // namespace quillfen

namespace quillfen {
namespace {

TEST(CopyAndVerifyTest, CopiesAcrossFileSystemsOfDifferentKinds) {
    test::TempDir root;
    char shared[] = "/dev/shm/quillfen-test-XXXXXX";
    if (::mkdtemp(shared) == nullptr)
        GTEST_SKIP() << "no /dev/shm here";
    const std::filesystem::path other(shared);
    const std::string content(3'000'000, 'z');
    test::writeFile(other / "a", content);
    EXPECT_TRUE(SyncEngine().copyIfNeeded(other / "a", root / "a", 0));
    EXPECT_TRUE(SyncEngine().copyIfNeeded(root / "a", other / "b", 0));
    EXPECT_EQ(readFile(root / "a"), content);
    EXPECT_EQ(readFile(other / "b"), content);
    std::filesystem::remove_all(other);
}

} // namespace
} // namespace quillfen
