#include "cleanup/CleanSourceScanner.h"

#include "TempDir.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace quillfen {
namespace {

using test::writeFile;

TEST(CleanSourceScan, ListsMatchesButNothingBelowAMatchedFolder) {
    test::TempDir root;
    writeFile(root / "a/node_modules/x/node_modules/y.js", "y");
    writeFile(root / "deep/er/.DS_Store", "meta");
    writeFile(root / "keep.txt", "k");
    auto items = CleanSourceScanner::scanForMatches(root.path(), {".DS_Store", "node_modules"});
    std::sort(items.begin(), items.end(),
              [](const auto& a, const auto& b) { return a.relativePath < b.relativePath; });
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].relativePath, "a/node_modules");
    EXPECT_TRUE(items[0].isDirectory);
    EXPECT_EQ(items[1].bytes, 4);
    EXPECT_EQ(items[1].url, std::filesystem::canonical(root.path()) / "deep/er/.DS_Store");
    EXPECT_TRUE(CleanSourceScanner::scanForMatches(root / "missing", {"*"}).empty());
    // A rule for folders only leaves a file of that name alone.
    EXPECT_TRUE(CleanSourceScanner::scanForMatches(root.path(), {"keep.txt/"}).empty());
}

} // namespace
} // namespace quillfen
