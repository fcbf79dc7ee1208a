#include "EngineTestSupport.h"
#include "TempDir.h"
#include "engine/FileStamp.h"
#include "engine/FileSystemError.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>

namespace quillfen {
namespace {

using namespace std::chrono_literals;
using test::setModified;

FileStamp stamp(std::int64_t size, std::chrono::nanoseconds time) {
    const auto seconds = std::chrono::floor<std::chrono::seconds>(time);
    return {size, {seconds.count(), (time - seconds).count()}};
}

TEST(ComparisonTest, SizeFirstThenNewerSourceTimeWithinTheGranularity) {
    constexpr std::int64_t kFolder = FileStamp::kNoSize;
    const auto t = std::chrono::nanoseconds(1'700'000'001'250'000'000);
    const auto whole = std::chrono::nanoseconds(1'700'000'001'000'000'000);
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
        {stamp(5, t + 9ms), stamp(5, t), 10ms, false},
        {stamp(6, t), stamp(5, t), 2s, true},
        // A destination that keeps whole seconds truncated the copied time.
        {stamp(5, whole + 999ms), stamp(5, whole), 1ns, false},
        {stamp(5, whole + 1s), stamp(5, whole), 1ns, true},
        {{5, {std::numeric_limits<time_t>::max(), 0}},
         {5, {std::numeric_limits<time_t>::min(), 0}},
         1ns,
         true}, // no overflow far from the epoch
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(needsCopy(cases[i].source, cases[i].destination, cases[i].granularity),
                  cases[i].copy)
            << "case " << i;
}

TEST(ComparisonTest, EngineReadsFilesAndHonoursAnInjectedGranularityInPlanAndRun) {
    test::TempDir dir;
    const auto source = dir.write("src/a.txt", "hello");
    const auto destination = dir.write("dst/a.txt", "hello");
    setModified(source, 1'700'000'001, 500'000'000);
    setModified(destination, 1'700'000'000, 0);
    EXPECT_TRUE(SyncEngine().needsCopy(source, destination)) << "the local disk keeps nanoseconds";
    EXPECT_EQ(SyncEngine().preview(dir / "src", dir / "dst", {}).size(), 1u);
    SyncEngine coarse(2s);
    EXPECT_FALSE(coarse.needsCopy(source, destination));
    EXPECT_TRUE(coarse.preview(dir / "src", dir / "dst", {}).empty());
    EXPECT_EQ(coarse.sync(dir / "src", dir / "dst", {}).filesCopied, 0);

    std::filesystem::remove(destination);
    std::filesystem::create_symlink(source, destination);
    EXPECT_TRUE(SyncEngine().needsCopy(source, destination)) << "a link is not followed";
    EXPECT_THROW(SyncEngine().needsCopy(dir / "missing", destination), FileSystemError);
}

// An ext4 file system made with 128-byte inodes, which keep whole seconds
// only, mounted from an image file for the life of the object.
class WholeSecondFileSystem {
public:
    explicit WholeSecondFileSystem(const std::filesystem::path& folder)
        : mountPoint_(folder / "mnt") {
        const auto image = folder / "ext4.img";
        std::filesystem::create_directories(mountPoint_);
        test::writeFile(image, "");
        std::filesystem::resize_file(image, 8 << 20);
        mounted_ = shell("mkfs.ext4 -q -F -I 128 '" + image.string() + "'") &&
                   shell("mount -o loop '" + image.string() + "' '" + mountPoint_.string() + "'");
    }
    ~WholeSecondFileSystem() {
        if (mounted_)
            shell("umount '" + mountPoint_.string() + "'");
    }
    WholeSecondFileSystem(const WholeSecondFileSystem&) = delete;
    WholeSecondFileSystem& operator=(const WholeSecondFileSystem&) = delete;

    bool isMounted() const { return mounted_; }
    const std::filesystem::path& path() const { return mountPoint_; }

private:
    static bool shell(const std::string& command) {
        return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
    }

    std::filesystem::path mountPoint_;
    bool mounted_ = false;
};

TEST(ComparisonTest, ADestinationThatKeepsWholeSecondsIsUpToDateAfterOneRun) {
    test::TempDir dir;
    const WholeSecondFileSystem coarse(dir.path());
    if (!coarse.isMounted())
        GTEST_SKIP() << "cannot make and loop-mount an ext4 image here (needs root, "
                        "mkfs.ext4 and a free loop device)";
    const auto source = dir.write("src/a.txt", "alpha");
    dir.write("src/sub/b.txt", "bravo");
    setModified(source, 1'700'000'000, 600'000'000);
    setModified(dir / "src/sub/b.txt", 1'700'000'000, 1);
    const auto destination = coarse.path() / "dst";
    SyncEngine engine;
    EXPECT_EQ(engine.sync(dir / "src", destination, {}).filesCopied, 2);
    EXPECT_EQ(test::modifiedOf(destination / "a.txt").tv_nsec, 0) << "only whole seconds kept";
    EXPECT_EQ(engine.sync(dir / "src", destination, {}).filesCopied, 0);
    EXPECT_TRUE(engine.preview(dir / "src", destination, {}).empty());
    setModified(source, 1'700'000'001, 600'000'000);
    EXPECT_EQ(engine.sync(dir / "src", destination, {}).filesCopied, 1) << "a second later is new";
}

} // namespace
} // namespace quillfen
