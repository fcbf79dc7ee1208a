#include "EngineTestSupport.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <ostream>

namespace quillfen {

void PrintTo(const FolderStats& value, std::ostream* out) {
    *out << value.files << " files, " << value.folders << " folders, " << value.bytes << " bytes"
         << (value.isPartial ? ", partial" : "");
}

namespace {

namespace fs = std::filesystem;

FolderStats count(const fs::path& path) {
    return SyncEngine::computeFolderStats(path.string());
}

TEST(FolderStatistics, CountsFilesFoldersAndBytesButNotLinks) {
    test::TempDir dir;
    dir.write("tree/a.txt", std::string(1000, 'a'));
    dir.write("tree/.hidden", "12");
    dir.write("tree/sub/deeper/b.bin", std::string(70000, 'b'));
    dir.write("tree/sub/zero", "");
    fs::create_directories(dir / "tree/empty");
    dir.write("big/one", std::string(5000, 'x'));
    fs::create_symlink(dir / "big", dir / "tree/sub/link-to-big");
    fs::create_symlink(dir / "big/one", dir / "tree/link-to-file");
    EXPECT_EQ(count(dir / "tree"), (FolderStats{4, 3, 71002, false}));

    fs::create_symlink(dir / "big", dir / "link");
    for (const auto* nothing : {"missing", "big/one", "link", ""})
        EXPECT_EQ(count(*nothing ? dir / nothing : fs::path()), FolderStats{}) << nothing;
}

TEST(FolderStatistics, StopsAtTheCapOrOnCancellation) {
    test::TempDir dir;
    dir.write("tree/a", "1");
    const std::string tree = (dir / "tree").string();
    const FolderStats capped =
        SyncEngine::computeFolderStats(tree, {}, std::chrono::milliseconds(0));
    EXPECT_TRUE(capped.isPartial);
    EXPECT_EQ(capped.files + capped.folders, 0) << "the deadline is checked before each item";
    std::stop_source source;
    source.request_stop();
    EXPECT_EQ(SyncEngine::computeFolderStats(tree, source.get_token()), FolderStats{})
        << "a cancelled count is not partial";
}

} // namespace
} // namespace quillfen
