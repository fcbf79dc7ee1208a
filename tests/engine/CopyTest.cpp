#include "EngineTestSupport.h"
#include "engine/FileStamp.h"
#include "engine/FileSystemError.h"

#include <chrono>
#include <cstdlib>
#include <limits>
#include <sys/stat.h>

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::readFile;

class CopyAndVerifyTest : public test::EngineTest {};

FileStamp stamp(std::int64_t size, std::chrono::nanoseconds time) {
    const auto seconds = std::chrono::floor<std::chrono::seconds>(time);
    return {size, {seconds.count(), (time - seconds).count()}};
}

TEST(ComparisonTest, SizeFirstThenNewerSourceTimeWithinTheGranularity) {
    constexpr std::int64_t kFolder = FileStamp::kNoSize;
    const auto t = std::chrono::nanoseconds(1'700'000'001'250'000'000);
    const auto whole = std::chrono::nanoseconds(1'700'000'001'000'000'000);
    constexpr auto kFar = std::numeric_limits<time_t>::max();
    struct Case {
        FileStamp source, destination;
        std::chrono::nanoseconds granularity;
        bool copy;
    };
    const Case cases[] = {
        {stamp(5, t), stamp(5, t), 1ns, false},
        {stamp(5, t + 1ns), stamp(5, t), 1ns, true},
        {stamp(5, t + 1ns), stamp(5, t), 0ns, true}, // 0 means full precision
        {stamp(5, t), stamp(5, t + 1s), 1ns, false}, // a newer destination is kept
        {stamp(5, t), stamp(6, t + 1s), 1ns, true},  // any size difference copies
        {stamp(5, t), stamp(kFolder, t), 1ns, true}, // a folder is in the way
        {stamp(kFolder, t), stamp(kFolder, t), 1ns, false},
        {stamp(5, t + 500ms), stamp(5, t - 600ms), 1s, true}, // across a second
        {stamp(5, t + 1999ms), stamp(5, t), 2s, false},
        {stamp(5, t + 2s), stamp(5, t), 2s, true},
        // A destination that keeps whole seconds truncated the copied time.
        {stamp(5, whole + 999ms), stamp(5, whole), 1ns, false},
        {stamp(5, whole + 1s), stamp(5, whole), 1ns, true},
        {{5, {kFar, 0}}, {5, {-kFar, 0}}, 1ns, true}, // no overflow far from the epoch
    };
    for (const Case& c : cases)
        EXPECT_EQ(needsCopy(c.source, c.destination, c.granularity), c.copy) << &c - cases;
}

TEST(ComparisonTest, EngineReadsFilesAndHonoursAnInjectedGranularityInPlanAndRun) {
    test::TempDir dir;
    const auto source = dir.write("src/a.txt", "hello");
    const auto destination = dir.write("dst/a.txt", "hello");
    test::setModified(source, 1'700'000'001, 500'000'000);
    test::setModified(destination, 1'700'000'000, 0);
    EXPECT_EQ(SyncEngine().preview(dir / "src", dir / "dst", {}).size(), 1u)
        << "the local disk keeps nanoseconds";
    SyncEngine coarse(2s);
    EXPECT_FALSE(coarse.needsCopy(source, destination));
    EXPECT_TRUE(coarse.preview(dir / "src", dir / "dst", {}).empty());
    EXPECT_EQ(coarse.sync(dir / "src", dir / "dst", {}).filesCopied, 0);
    fs::remove(destination);
    fs::create_symlink(source, destination);
    EXPECT_TRUE(coarse.needsCopy(source, destination)) << "a link is not followed";
    EXPECT_THROW(coarse.needsCopy(dir / "missing", destination), FileSystemError);
}

bool shell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// An ext4 file system made with 128-byte inodes, which keep whole seconds
// only, loop-mounted from an image file for the life of the object.
struct WholeSecondFileSystem {
    explicit WholeSecondFileSystem(const fs::path& folder) : path(folder / "mnt") {
        const auto image = folder / "ext4.img";
        fs::create_directories(path);
        test::writeFile(image, "");
        fs::resize_file(image, 8 << 20);
        mounted = shell("mkfs.ext4 -q -F -I 128 '" + image.string() + "'") &&
                  shell("mount -o loop '" + image.string() + "' '" + path.string() + "'");
    }
    ~WholeSecondFileSystem() {
        if (mounted)
            shell("umount '" + path.string() + "'");
    }
    WholeSecondFileSystem(const WholeSecondFileSystem&) = delete;
    WholeSecondFileSystem& operator=(const WholeSecondFileSystem&) = delete;

    const fs::path path;
    bool mounted = false;
};

TEST(ComparisonTest, ADestinationThatKeepsWholeSecondsIsUpToDateAfterOneRun) {
    test::TempDir dir;
    const WholeSecondFileSystem coarse(dir.path());
    if (!coarse.mounted)
        GTEST_SKIP() << "cannot make and loop-mount an ext4 image here (needs root, "
                        "mkfs.ext4 and a free loop device)";
    const auto source = dir.write("src/a.txt", "alpha");
    dir.write("src/sub/b.txt", "bravo");
    test::setModified(source, 1'700'000'000, 600'000'000);
    test::setModified(dir / "src/sub/b.txt", 1'700'000'000, 1);
    const auto destination = coarse.path / "dst";
    SyncEngine engine;
    EXPECT_EQ(engine.sync(dir / "src", destination, {}).filesCopied, 2);
    EXPECT_EQ(test::modifiedOf(destination / "a.txt").tv_nsec, 0) << "only whole seconds kept";
    EXPECT_EQ(engine.sync(dir / "src", destination, {}).filesCopied, 0);
    EXPECT_TRUE(engine.preview(dir / "src", destination, {}).empty());
    test::setModified(source, 1'700'000'001, 600'000'000);
    EXPECT_EQ(engine.sync(dir / "src", destination, {}).filesCopied, 1) << "a second later is new";
}

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
    EXPECT_EQ(fs::file_size(root / "copy"), 0u);
    EXPECT_EQ(
        test::errorOf([&] { SyncEngine().throttledCopy(root / "missing", root / "copy", 10); }),
        "Cannot read: " + (root / "missing").string());
}

TEST_F(CopyAndVerifyTest, CopiesKeepModeAndOwnerWhateverTheUmaskAcrossFileSystems) {
    char shared[] = "/dev/shm/quillfen-test-XXXXXX"; // another file system, where there is one
    const fs::path other = ::mkdtemp(shared) ? fs::path(shared) : root / "shm";
    const mode_t umask = ::umask(022);
    for (const mode_t mode : {0644, 0444, 0666, 0600, 04755}) {
        const auto name = std::to_string(mode);
        const auto source = root.write("src/" + name, "one");
        const auto copy = other / "new/deeper" / name;
        ::chown(source.c_str(), mode == 0600 ? 65534 : 0, mode == 0600 ? 65534 : 0);
        // A new file, then a large one over the old copy.
        for (const auto& content : {std::string("one"), std::string(3'000'000, 'z')}) {
            test::writeFile(source, content);
            ::chmod(source.c_str(), mode); // a write by root clears the set-ID bits
            ASSERT_TRUE(engine.copyIfNeeded(source, copy, 0)) << name;
            struct stat copied {};
            ::stat(copy.c_str(), &copied);
            EXPECT_EQ(copied.st_mode & 07777, mode) << name;
            EXPECT_EQ(copied.st_uid, mode == 0600 ? 65534u : 0u) << name;
            EXPECT_TRUE(readFile(copy) == content) << name;
        }
        EXPECT_FALSE(engine.copyIfNeeded(source, copy, 0)) << "up to date";
    }
    ::umask(umask);
    fs::remove_all(other);
}

TEST_F(CopyAndVerifyTest, VerificationCatchesACopyChangedOrGoneAfterItWasWritten) {
    for (const auto* name : {"a", "b", "c"})
        root.write("src/" + std::string(name), "original");
    root.write("src/empty", "");
    engine.onLog = [&](const std::string& line) {
        recorder.lines.push_back(line);
        if (line == "Copied: a")
            test::writeFile(root / "dst/a", "tampered");
        if (line == "Copied: b")
            fs::remove(root / "dst/b");
    };
    const SyncOptions options{.verify = true};
    const auto result = run(options);
    EXPECT_EQ(result.status, SyncStatus::success);
    EXPECT_EQ(result.verificationFailures + result.failedCount, 2);
    for (const auto* failed : {"a", "b"})
        EXPECT_TRUE(recorder.logged("Verify failed: " + std::string(failed)));
    const auto& reports = recorder.progress;
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports[reports.size() - 2].phase, SyncProgress::Phase::verifying);
    EXPECT_EQ(reports[reports.size() - 2].currentFile, reports.back().currentFile);

    fs::remove(root / "src/b");
    recorder.progress.clear();
    EXPECT_EQ(run(options).verificationFailures, 0);
    for (const auto& progress : recorder.progress)
        EXPECT_NE(progress.phase, SyncProgress::Phase::verifying)
            << "nothing copied, none verified";
}

} // namespace
} // namespace quillfen
