#include "engine/TreeListing.h"

#include "engine/ListingPaths.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quillfen {
namespace {

TEST(TreeListing, KeepsEveryNameWholeAndEachFileInItsFolder) {
    // Names of the longest kind, enough of them to fill several blocks, and
    // files of one folder on both sides of a subfolder's and of an empty one.
    TreeListing listing;
    const auto top = listing.addFolder(TreeListing::kRoot, "top\xff");
    const auto sub = listing.addFolder(top, std::string(255, 's'));
    std::vector<std::string> paths;
    for (int i = 0; i < 4000; ++i) {
        const auto folder = i % 1000 < 500 ? top : sub;
        if (i == 1200)
            listing.addFolder(top, "empty"); // between two files of the folder above it
        const auto name = std::to_string(i) + std::string(250, 'n');
        listing.addFile(folder, name);
        paths.push_back(listing.folderPath(folder) + "/" + name);
    }
    listing.addFile(TreeListing::kRoot, "at-the-root");
    paths.push_back("at-the-root");

    ASSERT_EQ(listing.fileCount(), paths.size());
    EXPECT_EQ(listing.folderPath(sub), "top\xff/" + std::string(255, 's'));
    ListingPaths inOrder(listing);
    for (TreeListing::Index file = 0; file < listing.fileCount(); ++file) {
        EXPECT_EQ(listing.filePath(file), paths[file]);
        EXPECT_EQ(inOrder.of(file), paths[file]);
    }
    EXPECT_EQ(listing.folderOfFile(499), top);
    EXPECT_EQ(listing.folderOfFile(500), sub);
    EXPECT_EQ(listing.folderOfFile(1000), top);
}

} // namespace
} // namespace quillfen
