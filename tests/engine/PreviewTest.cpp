#include "EngineTestSupport.h"
#include "TempDir.h"
#include "engine/SyncError.h"

#include <gtest/gtest.h>
#include <map>

namespace quillfen {
namespace {

class PreviewTest : public test::EngineTest {};

using Action = DiffItem::Action;
using Plan = std::vector<std::pair<Action, std::string>>;

Plan actions(const std::vector<DiffItem>& items) {
    Plan result;
    for (const auto& item : items)
        result.emplace_back(item.action, item.relativePath);
    return result;
}

Plan sorted(Plan plan) {
    std::sort(plan.begin(), plan.end());
    return plan;
}

TEST_F(PreviewTest, PlanListsCopiesInSourceOrderThenDeletionsAndWritesNothing) {
    root.write("src/same.txt", "same");
    root.write("src/changed.txt", "new content");
    root.write("src/sub/new.txt", "12345");
    root.write("src/folder-in-the-way", "x");
    root.write("src/skip.log", "excluded");
    root.write("dst/same.txt", "same");
    root.write("dst/changed.txt", "old");
    root.write("dst/folder-in-the-way/inner.txt", "i");
    root.write("dst/skip.log", "a copy of an excluded file");
    root.write("dst/gone/deep/file.txt", "g");
    test::setModified(root / "src/same.txt", 1'600'000'000);
    test::setModified(root / "dst/same.txt", 1'600'000'000);

    SyncOptions options{.excludePatterns = {"*.log"}};
    const Plan copies = {{Action::copy, "changed.txt"},
                         {Action::copy, "folder-in-the-way"},
                         {Action::copy, "sub/new.txt"}};
    EXPECT_EQ(sorted(actions(engine.preview(root / "src", root / "dst", options))), copies);

    options.deleteExtras = true;
    const auto items = engine.preview(root / "src", root / "dst", options);
    // Copies first, then deletions, each kind in the order its scan met the files.
    Plan expected;
    for (const auto& path : engine.scanFiles(root / "src", {"*.log"}).files)
        if (path != "same.txt")
            expected.emplace_back(Action::copy, path);
    for (const auto& path : engine.scanFiles(root / "dst", {}).files)
        if (path != "same.txt" && path != "changed.txt")
            expected.emplace_back(Action::remove, path);
    EXPECT_EQ(actions(items), expected);
    std::map<std::string, std::int64_t> sizes;
    for (const auto& item : items)
        sizes[item.relativePath] += item.size;
    EXPECT_EQ(sizes, (std::map<std::string, std::int64_t>{{"changed.txt", 11},
                                                          {"folder-in-the-way", 1},
                                                          {"folder-in-the-way/inner.txt", 0},
                                                          {"gone/deep/file.txt", 0},
                                                          {"skip.log", 0},
                                                          {"sub/new.txt", 5}}));

    const auto again = engine.preview(root / "src", root / "dst", options);
    EXPECT_EQ(actions(again), actions(items));
    EXPECT_NE(again[0].id, items[0].id);
    EXPECT_TRUE(recorder.progress.empty());
    EXPECT_TRUE(recorder.lines.empty());
    EXPECT_EQ(test::readFile(root / "dst/changed.txt"), "old") << "a preview writes nothing";
}

TEST_F(PreviewTest, MirrorModeMatchesEachFileByItsFolderAndItsNameAsBytes) {
    for (const auto* path : {"a/x", "b/y", "\xff\xfe/\x01n", "c/d/f", "c/d-", "e"})
        root.write("src/" + std::string(path), "s");
    const std::vector<std::string> extras = {
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
    const SyncOptions options{.deleteExtras = true};
    Plan deletions;
    for (const auto& item : engine.preview(root / "src", root / "dst", options))
        if (item.action == Action::remove)
            deletions.emplace_back(item.action, item.relativePath);
    Plan expected;
    for (const auto& path : extras)
        expected.emplace_back(Action::remove, path);
    EXPECT_EQ(sorted(deletions), sorted(expected));
}

TEST_F(PreviewTest, MissingOrEmptyFoldersOnEitherSide) {
    constexpr std::uintmax_t kLarge = (std::uintmax_t(5) << 30) + 3; // sparse: no room taken
    std::filesystem::resize_file(root.write("src/a", "a"), kLarge);
    root.write("dst/b/c", "c");
    std::filesystem::create_directories(root / "empty");
    const SyncOptions options{.deleteExtras = true};
    const auto plan = SyncEngine().preview(root / "src", root / "new/deeper", options);
    EXPECT_EQ(actions(plan), (Plan{{Action::copy, "a"}}));
    EXPECT_EQ(plan.at(0).size, static_cast<std::int64_t>(kLarge));
    EXPECT_FALSE(std::filesystem::exists(root / "new")) << "the destination is not created";
    EXPECT_EQ(actions(SyncEngine().preview(root / "empty", root / "dst", options)),
              (Plan{{Action::remove, "b/c"}}));
    EXPECT_THROW(SyncEngine().preview(root / "nothing", root / "dst", options), SyncError);
}

} // namespace
} // namespace quillfen
