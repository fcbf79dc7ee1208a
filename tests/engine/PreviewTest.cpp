#include "EngineTestSupport.h"
#include "TempDir.h"
#include "engine/SyncError.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using Action = DiffItem::Action;

std::vector<std::pair<Action, std::string>> actions(const std::vector<DiffItem>& items) {
    std::vector<std::pair<Action, std::string>> result;
    for (const auto& item : items)
        result.emplace_back(item.action, item.relativePath);
    return result;
}

TEST(PreviewTest, PlanListsCopiesInSourceOrderThenDeletions) {
    test::TempDir root;
    const auto same = root.write("src/same.txt", "same");
    root.write("src/changed.txt", "new content");
    root.write("src/sub/new.txt", "12345");
    root.write("src/folder-in-the-way", "x");
    root.write("src/skip.log", "excluded");
    root.write("dst/same.txt", "same");
    root.write("dst/changed.txt", "old");
    root.write("dst/folder-in-the-way/inner.txt", "i");
    root.write("dst/skip.log", "a copy of an excluded file");
    root.write("dst/gone/deep/file.txt", "g");
    test::setModified(same, 1'600'000'000);
    test::setModified(root / "dst/same.txt", 1'600'000'000);

    SyncOptions options;
    options.excludePatterns = {"*.log"};
    SyncEngine engine;
    test::Recorder recorder;
    recorder.attach(engine);
    auto items = engine.preview(root / "src", root / "dst", options);
    auto planned = actions(items);
    std::sort(planned.begin(), planned.end());
    EXPECT_EQ(planned,
              (std::vector<std::pair<Action, std::string>>{{Action::copy, "changed.txt"},
                                                           {Action::copy, "folder-in-the-way"},
                                                           {Action::copy, "sub/new.txt"}}));
    for (const auto& item : items) {
        if (item.relativePath == "sub/new.txt") {
            EXPECT_EQ(item.size, 5);
        }
    }

    options.deleteExtras = true;
    items = engine.preview(root / "src", root / "dst", options);
    ASSERT_EQ(items.size(), 6u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(items[i].action, Action::copy);
    for (std::size_t i = 3; i < 6; ++i) {
        EXPECT_EQ(items[i].action, Action::remove);
        EXPECT_EQ(items[i].size, 0);
    }
    std::vector<std::string> deletions = {items[3].relativePath, items[4].relativePath,
                                          items[5].relativePath};
    std::sort(deletions.begin(), deletions.end());
    EXPECT_EQ(deletions, (std::vector<std::string>{"folder-in-the-way/inner.txt",
                                                   "gone/deep/file.txt", "skip.log"}));
    // Each kind keeps the order its scan met the files in.
    const auto inScanOrder = [](const std::vector<DiffItem>& plan, std::size_t from, std::size_t to,
                                const std::vector<std::string>& scanned) {
        auto position = scanned.begin();
        for (std::size_t i = from; i < to; ++i) {
            position = std::find(position, scanned.end(), plan[i].relativePath);
            if (position == scanned.end())
                return false;
        }
        return true;
    };
    EXPECT_TRUE(inScanOrder(items, 0, 3, engine.scanFiles(root / "src", {"*.log"}).files));
    EXPECT_TRUE(inScanOrder(items, 3, 6, engine.scanFiles(root / "dst", {}).files));

    const auto again = engine.preview(root / "src", root / "dst", options);
    EXPECT_EQ(actions(again), actions(items));
    EXPECT_NE(again[0].id, items[0].id);
    EXPECT_TRUE(recorder.progress.empty());
    EXPECT_TRUE(recorder.lines.empty());
    EXPECT_EQ(test::readFile(root / "dst/changed.txt"), "old") << "a preview writes nothing";
}

TEST(PreviewTest, MissingDestinationPlansCopiesOnlyAndIsNotCreated) {
    test::TempDir root;
    root.write("src/a", "a");
    SyncOptions options;
    options.deleteExtras = true;
    const auto items = SyncEngine().preview(root / "src", root / "dst/deeper", options);
    EXPECT_EQ(actions(items), (std::vector<std::pair<Action, std::string>>{{Action::copy, "a"}}));
    EXPECT_FALSE(std::filesystem::exists(root / "dst"));
    EXPECT_THROW(SyncEngine().preview(root / "nothing", root / "dst", options), SyncError);
}

TEST(PreviewTest, EmptySourceInMirrorModePlansEveryDestinationFileForDeletion) {
    test::TempDir root;
    std::filesystem::create_directories(root / "src");
    root.write("dst/a", "a");
    root.write("dst/b/c", "c");
    SyncOptions options;
    options.deleteExtras = true;
    const auto items = SyncEngine().preview(root / "src", root / "dst", options);
    EXPECT_EQ(items.size(), 2u);
    for (const auto& item : items)
        EXPECT_EQ(item.action, Action::remove);
}

TEST(PreviewTest, PlanUsesTheSameCoarseTimeRuleAsTheRun) {
    test::TempDir root;
    const auto source = root.write("src/a", "a");
    const auto destination = root.write("dst/a", "a");
    test::setModified(source, 1'600'000'001);
    test::setModified(destination, 1'600'000'000);
    EXPECT_EQ(SyncEngine().preview(root / "src", root / "dst", {}).size(), 1u);
    EXPECT_TRUE(
        SyncEngine(std::chrono::seconds(2)).preview(root / "src", root / "dst", {}).empty());
    EXPECT_EQ(SyncEngine(std::chrono::seconds(2)).sync(root / "src", root / "dst", {}).filesCopied,
              0);
}

} // namespace
} // namespace quillfen
