#include "EngineTestSupport.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <limits>
#include <sys/stat.h>

namespace quillfen {
namespace {

class CopyAndVerifyTest : public test::EngineTest {};

using namespace std::chrono_literals;
using test::readFile;

// The throttle's pause ending at once on cancel is proved with the run.
// The throttle's pause ending at once on cancel is proved with the run.
TEST_F(CopyAndVerifyTest, ThrottledCopyKeepsToTheLimitOnAverageAndReportsWhatItCannotRead) {
    const std::string content(512 * 1024, 'q');
    const auto copyTook = [&](std::int64_t limit) {
        const auto started = std::chrono::steady_clock::now();
        SyncEngine().throttledCopy(root.write("a", content), root / "out/b", limit);
        EXPECT_EQ(readFile(root / "out/b"), content);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    };
    const double took = copyTook(256); // 512 KiB at 256 KiB per second: about two seconds
    EXPECT_GT(took, 1.5);
    EXPECT_LT(took, 4.0);
    EXPECT_LT(copyTook(std::numeric_limits<std::int64_t>::max()), 1.0)
        << "a limit too large to count in bytes is no limit";
    SyncEngine().throttledCopy(root.write("empty", ""), root / "copy", 1);
    EXPECT_EQ(std::filesystem::file_size(root / "copy"), 0u);
    EXPECT_EQ(
        test::errorOf([&] { SyncEngine().throttledCopy(root / "missing", root / "copy", 10); }),
        "Cannot read: " + (root / "missing").string());
}

TEST_F(CopyAndVerifyTest, CopyIfNeededCopiesOnlyWhatDiffersAcrossFileSystems) {
    char shared[] = "/dev/shm/quillfen-test-XXXXXX";
    const std::filesystem::path other = ::mkdtemp(shared) ? shared : (root / "shm").string();
    std::filesystem::create_directories(other); // elsewhere on the same disk without /dev/shm
    const std::string content(3'000'000, 'z');
    test::writeFile(other / "a", content);
    EXPECT_TRUE(engine.copyIfNeeded(other / "a", root / "new/deeper/b", 0));
    EXPECT_FALSE(engine.copyIfNeeded(other / "a", root / "new/deeper/b", 0));
    EXPECT_TRUE(engine.copyIfNeeded(root / "new/deeper/b", other / "b", 0));
    EXPECT_EQ(readFile(root / "new/deeper/b"), content);
    EXPECT_EQ(readFile(other / "b"), content);
    test::writeFile(other / "a", "changed!");
    EXPECT_TRUE(engine.copyIfNeeded(other / "a", root / "new/deeper/b", 4));
    EXPECT_EQ(readFile(root / "new/deeper/b"), "changed!");
    std::filesystem::remove_all(other);
}

TEST_F(CopyAndVerifyTest, CopiesKeepTheSourcesModeAndOwnerWhateverTheUmask) {
    const mode_t umask = ::umask(022);
    for (const mode_t mode : {0644, 0444, 0666, 0600, 04755}) {
        const auto name = std::to_string(mode);
        const auto source = root.write("src/" + name, "one");
        ::chmod(source.c_str(), mode);
        ::chown(source.c_str(), mode == 0600 ? 65534 : 0, mode == 0600 ? 65534 : 0);
        // A new file, then one over an old copy.
        for (const auto* content : {"one", "second"}) {
            test::writeFile(source, content);
            ::chmod(source.c_str(), mode); // a write by root clears the set-ID bits
            ASSERT_TRUE(engine.copyIfNeeded(source, root / "dst" / name, 0)) << name;
            struct stat copied {};
            ::stat((root / "dst" / name).c_str(), &copied);
            EXPECT_EQ(copied.st_mode & 07777, mode) << name;
            EXPECT_EQ(copied.st_uid, mode == 0600 ? 65534u : 0u) << name;
            EXPECT_EQ(readFile(root / "dst" / name), content);
        }
    }
    ::umask(umask);
    EXPECT_TRUE(test::temporaryFilesIn(root / "dst").empty());
}

TEST_F(CopyAndVerifyTest, VerificationCatchesACopyChangedOrGoneAfterItWasWritten) {
    root.write("src/a", "original");
    root.write("src/b", "gone");
    root.write("src/c", "fine");
    root.write("src/empty", "");
    engine.onLog = [&](const std::string& line) {
        recorder.lines.push_back(line);
        if (line == "Copied: a")
            test::writeFile(root / "dst/a", "tampered");
        if (line == "Copied: b")
            std::filesystem::remove(root / "dst/b");
    };
    const SyncOptions options{.verify = true};
    const auto result = run(options);
    EXPECT_EQ(result.status, SyncStatus::success);
    EXPECT_EQ(result.verificationFailures, 2);
    EXPECT_EQ(result.failedCount, 0);
    EXPECT_TRUE(recorder.logged("Verify failed: a"));
    EXPECT_TRUE(recorder.logged("Verify failed: b"));
    EXPECT_FALSE(recorder.logged("Verify failed: empty"));
    const auto& reports = recorder.progress;
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports[reports.size() - 2].phase, SyncProgress::Phase::verifying);
    EXPECT_EQ(reports[reports.size() - 2].currentFile, reports.back().currentFile);

    std::filesystem::remove(root / "src/b");
    recorder.progress.clear();
    EXPECT_EQ(run(options).verificationFailures, 0);
    for (const auto& progress : recorder.progress)
        EXPECT_NE(progress.phase, SyncProgress::Phase::verifying)
            << "nothing copied, nothing verified";
}

} // namespace
} // namespace quillfen
