#include "TempDir.h"
#include "TreeFixtures.h"
#include "engine/SyncEngine.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <ostream>
#include <stop_token>
#include <string>

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

} // namespace

void PrintTo(const FolderStats& value, std::ostream* out) {
    *out << value.files << " files, " << value.folders << " folders, " << value.bytes << " bytes"
         << (value.isPartial ? ", partial" : "");
}

namespace {

FolderStats stats(std::int64_t files, std::int64_t folders, std::int64_t bytes,
                  bool isPartial = false) {
    return FolderStats{files, folders, bytes, isPartial};
}

TEST(FolderStatistics, PathsThatNameNoFolderCountNothing) {
    TempDir dir;
    dir.write("file.txt", "12345");
    fs::create_directories(dir / "real");
    dir.write("real/inside", "abc");
    fs::create_symlink(dir / "real", dir / "link");
    EXPECT_EQ(SyncEngine::computeFolderStats((dir / "missing").string()), stats(0, 0, 0));
    EXPECT_EQ(SyncEngine::computeFolderStats((dir / "file.txt").string()), stats(0, 0, 0));
    EXPECT_EQ(SyncEngine::computeFolderStats((dir / "link").string()), stats(0, 0, 0))
        << "a link in place of the folder is not followed";
    EXPECT_EQ(SyncEngine::computeFolderStats(""), stats(0, 0, 0));
}

TEST(FolderStatistics, CountsFilesFoldersAndBytesButNotLinks) {
    TempDir dir;
    fs::create_directories(dir / "tree/empty");
    EXPECT_EQ(SyncEngine::computeFolderStats((dir / "tree").string()), stats(0, 1, 0));

    dir.write("tree/a.txt", std::string(1000, 'a'));
    dir.write("tree/.hidden", "12");
    dir.write("tree/sub/deeper/b.bin", std::string(70000, 'b'));
    dir.write("tree/sub/zero", "");
    dir.write("big/one", std::string(5000, 'x'));
    dir.write("big/two/three", std::string(5000, 'x'));
    fs::create_symlink(dir / "big", dir / "tree/sub/link-to-big");
    fs::create_symlink(dir / "big/one", dir / "tree/link-to-file");
    EXPECT_EQ(SyncEngine::computeFolderStats((dir / "tree").string()), stats(4, 3, 71002));
}

TEST(FolderStatistics, StopsAtTheCapOrOnCancellation) {
    TempDir dir;
    dir.write("tree/a", "1");
    dir.write("tree/b/c", "2");
    const std::string tree = (dir / "tree").string();

    const FolderStats capped =
        SyncEngine::computeFolderStats(tree, {}, std::chrono::milliseconds(0));
    EXPECT_TRUE(capped.isPartial);
    EXPECT_EQ(capped.files + capped.folders, 0) << "the deadline is checked before each item";

    std::stop_source source;
    source.request_stop();
    EXPECT_EQ(SyncEngine::computeFolderStats(tree, source.get_token()), stats(0, 0, 0))
        << "a cancelled count is not partial";
    EXPECT_EQ(SyncEngine::computeFolderStats(tree), stats(2, 1, 2));
}

TEST(FolderStatistics, PassesOverFoldersThatCannotBeRead) {
    TempDir dir;
    dir.write("tree/open/a", "aaaa");
    dir.write("tree/locked/secret", "ssssssss");
    dir.write("tree/listable/hidden-size", "hhh");
    fs::permissions(dir / "tree/locked", fs::perms::none);
    fs::permissions(dir / "tree/listable", fs::perms::owner_all | fs::perms::others_read);
    test::makeReachableByOthers(dir / "tree");
    const std::string output = test::runAsNobody([&] {
        const FolderStats counted = SyncEngine::computeFolderStats((dir / "tree").string());
        return std::to_string(counted.files) + " " + std::to_string(counted.folders) + " " +
               std::to_string(counted.bytes) + (counted.isPartial ? " partial" : "");
    });
    EXPECT_EQ(output, "1 3 4") << "files whose size cannot be read are left out";
}

} // namespace
} // namespace quillfen
