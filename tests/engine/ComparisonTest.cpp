#include "EngineTestSupport.h"
#include "TempDir.h"
#include "engine/FileStamp.h"
#include "engine/FileSystemError.h"

#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <limits>

namespace quillfen {
namespace {

using namespace std::chrono_literals;
using test::setModified;

constexpr std::int64_t kFolder = FileStamp::kNoSize;

FileStamp stamp(std::int64_t size, std::chrono::nanoseconds time) {
    const auto seconds = std::chrono::floor<std::chrono::seconds>(time);
    return {size, {seconds.count(), (time - seconds).count()}};
}

TEST(ComparisonTest, SizeThenTimeAtFullPrecision) {
    const auto t = std::chrono::nanoseconds(1'700'000'000'000'000'000);
    EXPECT_FALSE(needsCopy(stamp(5, t), stamp(5, t), 1ns));
    EXPECT_TRUE(needsCopy(stamp(5, t + 1ms), stamp(5, t), 1ns));
    EXPECT_TRUE(needsCopy(stamp(5, t + 1ns), stamp(5, t), 1ns));
    EXPECT_FALSE(needsCopy(stamp(5, t), stamp(5, t + 1s), 1ns)) << "a newer destination is kept";
    EXPECT_TRUE(needsCopy(stamp(5, t), stamp(6, t + 1s), 1ns)) << "any size difference copies";
    EXPECT_TRUE(needsCopy(stamp(5, t), stamp(kFolder, t), 1ns)) << "a folder is in the way";
    EXPECT_FALSE(needsCopy(stamp(kFolder, t), stamp(kFolder, t), 1ns));
    EXPECT_TRUE(needsCopy(stamp(5, t + 1ns), stamp(5, t), 0ns)) << "0 means full precision";
    EXPECT_TRUE(needsCopy(stamp(5, t + 500ms), stamp(5, t - 600ms), 1s)) << "across a second";
    const FileStamp far{5, {std::numeric_limits<time_t>::max(), 0}};
    const FileStamp early{5, {std::numeric_limits<time_t>::min(), 0}};
    EXPECT_TRUE(needsCopy(far, early, 1ns)) << "no overflow far from the epoch";
    EXPECT_FALSE(needsCopy(early, far, 1ns));
}

TEST(ComparisonTest, CoarseDestinationTimesCountAsEqualWithinTheirGranularity) {
    const auto t = std::chrono::nanoseconds(1'700'000'001'000'000'000);
    EXPECT_FALSE(needsCopy(stamp(5, t + 1999ms), stamp(5, t), 2s));
    EXPECT_TRUE(needsCopy(stamp(5, t + 2s), stamp(5, t), 2s));
    EXPECT_FALSE(needsCopy(stamp(5, t + 9ms), stamp(5, t), 10ms));
    EXPECT_TRUE(needsCopy(stamp(5, t + 10ms), stamp(5, t), 10ms));
    EXPECT_TRUE(needsCopy(stamp(6, t), stamp(5, t), 2s)) << "sizes still decide first";
}

TEST(ComparisonTest, LocalFileSystemKeepsNanoseconds) {
    test::TempDir dir;
    const int fd = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY);
    EXPECT_EQ(timeGranularityOf(fd), 1ns);
    ::close(fd);
}

TEST(ComparisonTest, EngineReadsFilesAndHonoursAnInjectedGranularity) {
    test::TempDir dir;
    const auto source = dir.write("a.txt", "hello");
    const auto destination = dir.write("b.txt", "hello");
    setModified(source, 1'700'000'001, 500'000'000);
    setModified(destination, 1'700'000'000, 0);

    EXPECT_TRUE(SyncEngine().needsCopy(source, destination));
    EXPECT_FALSE(SyncEngine(2s).needsCopy(source, destination));
    setModified(destination, 1'700'000'001, 500'000'000);
    EXPECT_FALSE(SyncEngine().needsCopy(source, destination));

    std::filesystem::remove(destination);
    std::filesystem::create_directory(destination);
    EXPECT_TRUE(SyncEngine().needsCopy(source, destination)) << "a folder has no size";
    std::filesystem::remove(destination);
    std::filesystem::create_symlink(source, destination);
    EXPECT_TRUE(SyncEngine().needsCopy(source, destination)) << "a link is not followed";
    EXPECT_THROW(SyncEngine().needsCopy(dir / "missing", destination), FileSystemError);
}

} // namespace
} // namespace quillfen
