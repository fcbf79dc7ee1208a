#include "EngineTestSupport.h"
#include "TempDir.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>

namespace quillfen {
namespace {

class PreviewTest : public test::EngineTest {};

using Lines = std::vector<std::string>;

TEST_F(PreviewTest, PlanListsCopiesInSourceOrderThenDeletionsAndWritesNothing) {
    root.write("src/same.txt", "same");
    root.write("src/changed.txt", "new content");
    root.write("src/sub/new.txt", "12345");
    root.write("src/folder-in-the-way", "x");
    root.write("src/skip.log", "excluded");
    root.write("dst/same.txt", "same");
    root.write("dst/changed.txt", "old");
    root.write("dst/folder-in-the-way/inner.txt", "i");
    root.write("dst/gone/deep/file.txt", "g");
    test::setModified(root / "src/same.txt", 1'600'000'000);
    test::setModified(root / "dst/same.txt", 1'600'000'000);

    SyncOptions options{.excludePatterns = {"*.log"}};
    auto copies = test::planOf(engine.preview(root / "src", root / "dst", options));
    std::ranges::sort(copies);
    EXPECT_EQ(copies, (Lines{"copy changed.txt", "copy folder-in-the-way", "copy sub/new.txt"}));

    options.deleteExtras = true;
    const auto items = engine.preview(root / "src", root / "dst", options);
    // Copies first, then deletions, each kind in the order its scan met the files.
    Lines expected;
    for (const auto& path : engine.scanFiles(root / "src", {"*.log"}).files)
        if (path != "same.txt")
            expected.push_back("copy " + path);
    for (const auto& path : engine.scanFiles(root / "dst", {}).files)
        if (path != "same.txt" && path != "changed.txt")
            expected.push_back("delete " + path);
    EXPECT_EQ(test::planOf(items), expected);
    std::map<std::string, std::int64_t> sizes;
    for (const auto& item : items)
        sizes[item.relativePath] += item.size;
    EXPECT_EQ(sizes, (std::map<std::string, std::int64_t>{{"changed.txt", 11},
                                                          {"folder-in-the-way", 1},
                                                          {"folder-in-the-way/inner.txt", 0},
                                                          {"gone/deep/file.txt", 0},
                                                          {"sub/new.txt", 5}}));

    const auto again = engine.preview(root / "src", root / "dst", options);
    EXPECT_EQ(test::planOf(again), test::planOf(items));
    EXPECT_NE(again[0].id, items[0].id);
    EXPECT_TRUE(recorder.progress.empty());
    EXPECT_TRUE(recorder.lines.empty());
    EXPECT_EQ(test::readFile(root / "dst/changed.txt"), "old") << "a preview writes nothing";
}

TEST_F(PreviewTest, MirrorModeMatchesEachFileByItsFolderAndItsNameAsBytes) {
    for (const auto* path : {"a/x", "b/y", "\xff\xfe/\x01n", "c/d/f", "c/d-", "e"})
        root.write("src/" + std::string(path), "s");
    Lines extras = {
        "a/y",            // a name the source has, in another folder
        "b/x",            // likewise
        "a-/x",           // a folder named like one of the source's, and a byte more
        "\xff\xfe/\x01o", // one byte off
        "\xfe\xff/\x01n", // in a folder of the same bytes in another order
        "c/d/f/g",        // below a name that is a file in the source
        "c/d-/h",         // likewise
        "e/x",            // likewise
    };
    for (const auto& path : {"a/x", "\xff\xfe/\x01n"})
        root.write("dst/" + std::string(path), "s");
    for (const auto& path : extras)
        root.write("dst/" + path, "d");
    std::ranges::sort(extras);
    EXPECT_EQ(test::deletionsOf(engine.preview(root / "src", root / "dst", {.deleteExtras = true})),
              extras);
}

TEST_F(PreviewTest, MissingOrEmptyFoldersOnEitherSide) {
    constexpr std::uintmax_t kLarge = (std::uintmax_t(5) << 30) + 3; // sparse: no room taken
    std::filesystem::resize_file(root.write("src/a", "a"), kLarge);
    root.write("dst/b/c", "c");
    std::filesystem::create_directories(root / "empty");
    const SyncOptions options{.deleteExtras = true};
    const auto plan = SyncEngine().preview(root / "src", root / "new/deeper", options);
    EXPECT_EQ(test::planOf(plan), Lines{"copy a"});
    EXPECT_EQ(plan.at(0).size, static_cast<std::int64_t>(kLarge));
    EXPECT_FALSE(std::filesystem::exists(root / "new")) << "the destination is not created";
    EXPECT_EQ(test::planOf(SyncEngine().preview(root / "empty", root / "dst", options)),
              Lines{"delete b/c"});
    EXPECT_THROW(SyncEngine().preview(root / "nothing", root / "dst", options), SyncError);
}

} // namespace
} // namespace quillfen
