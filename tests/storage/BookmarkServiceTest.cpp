#include "storage/BookmarkService.h"

#include "TempDir.h"

#include <gtest/gtest.h>
#include <map>

namespace quillfen {
namespace {

using test::TempDir;

class MemoryDefaults : public KeyValueStore {
public:
    std::optional<std::string> value(const std::string& key) const override {
        const auto found = values.find(key);
        return found == values.end() ? std::nullopt : std::optional(found->second);
    }
    void setValue(const std::string& key, const std::string& bytes) override {
        values[key] = bytes;
    }
    void remove(const std::string& key) override { values.erase(key); }

    std::map<std::string, std::string> values;
};

TEST(BookmarkServiceTest, NothingStoredResolvesToNothing) {
    MemoryDefaults defaults;
    BookmarkService bookmarks(defaults);
    EXPECT_EQ(bookmarks.startAccessing("source"), std::nullopt);
    EXPECT_EQ(bookmarks.startAccessing("destination"), std::nullopt);
    EXPECT_TRUE(bookmarks.activeURLs().empty());
    bookmarks.stopAccessingAll();
    bookmarks.stopAccessingAll();
    EXPECT_TRUE(bookmarks.activeURLs().empty());
    EXPECT_TRUE(defaults.values.empty());
}

TEST(BookmarkServiceTest, GrantsAreStoredPerRoleAndReplacedByANewPick) {
    TempDir dir;
    std::filesystem::create_directories(dir / "one");
    std::filesystem::create_directories(dir / "two");
    std::filesystem::create_directories(dir / "dest");
    MemoryDefaults defaults;
    BookmarkService bookmarks(defaults);
    bookmarks.saveBookmark(dir / "one", "source");
    bookmarks.saveBookmark(dir / "dest", "destination");
    EXPECT_EQ(defaults.values.at("bm_source"), (dir / "one").string());

    bookmarks.saveBookmark(dir / "two", "source");
    EXPECT_EQ(bookmarks.resolveBookmark("source"), dir / "two");
    EXPECT_EQ(bookmarks.resolveBookmark("destination"), dir / "dest");

    // What cannot be granted leaves the earlier grant.
    dir.write("file.txt", "x");
    bookmarks.saveBookmark(dir / "file.txt", "source");
    bookmarks.saveBookmark(dir / "missing", "source");
    bookmarks.saveBookmark("relative/folder", "source");
    EXPECT_EQ(defaults.values.at("bm_source"), (dir / "two").string());

    EXPECT_EQ(bookmarks.startAccessing("source"), dir / "two");
    EXPECT_EQ(bookmarks.startAccessing("destination"), dir / "dest");
    EXPECT_EQ(bookmarks.activeURLs(), (std::map<std::string, std::filesystem::path>{
                                          {"destination", dir / "dest"}, {"source", dir / "two"}}));
    bookmarks.stopAccessingAll();
    EXPECT_TRUE(bookmarks.activeURLs().empty());
    EXPECT_EQ(defaults.values.size(), 2u);
}

TEST(BookmarkServiceTest, MissingFolderKeepsTheGrantAndSomethingElseMakesItStale) {
    TempDir dir;
    std::filesystem::create_directories(dir / "drive");
    std::filesystem::create_directories(dir / "moved");
    MemoryDefaults defaults;
    BookmarkService bookmarks(defaults);
    bookmarks.saveBookmark(dir / "drive", "source");
    bookmarks.saveBookmark(dir / "moved", "destination");

    // An unplugged drive: no resolution, but the grant waits for it.
    std::filesystem::remove(dir / "drive");
    EXPECT_EQ(bookmarks.startAccessing("source"), std::nullopt);
    EXPECT_TRUE(bookmarks.activeURLs().empty());
    EXPECT_TRUE(defaults.values.contains("bm_source"));
    std::filesystem::create_directories(dir / "drive");
    EXPECT_EQ(bookmarks.resolveBookmark("source"), dir / "drive");

    // A file now stands where the folder was: the grant is stale and goes.
    std::filesystem::remove(dir / "moved");
    dir.write("moved", "not a folder");
    EXPECT_EQ(bookmarks.resolveBookmark("destination"), std::nullopt);
    EXPECT_FALSE(defaults.values.contains("bm_destination"));
    EXPECT_EQ(bookmarks.resolveBookmark("destination"), std::nullopt);

    // A value this service never wrote is ignored, not removed.
    defaults.values["bm_source"] = "not/absolute";
    EXPECT_EQ(bookmarks.resolveBookmark("source"), std::nullopt);
    EXPECT_EQ(defaults.values.at("bm_source"), "not/absolute");
}

TEST(BookmarkServiceTest, SharedIsTheInstalledInstance) {
    static MemoryDefaults defaults;
    auto& installed = BookmarkService::installShared(defaults);
    EXPECT_EQ(&BookmarkService::shared(), &installed);
}

} // namespace
} // namespace quillfen
