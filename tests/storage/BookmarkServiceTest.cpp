#include "storage/BookmarkService.h"

#include "TempDir.h"

#include <gtest/gtest.h>
#include <map>

namespace quillfen {
namespace {

namespace fs = std::filesystem;

struct MemoryDefaults : KeyValueStore {
    std::optional<std::string> value(const std::string& key) const override {
        return values.contains(key) ? std::optional(values.at(key)) : std::nullopt;
    }
    void setValue(const std::string& key, const std::string& bytes) override {
        values[key] = bytes;
    }
    void remove(const std::string& key) override { values.erase(key); }

    std::map<std::string, std::string> values;
};

class BookmarkServiceTest : public ::testing::Test {
protected:
    test::TempDir dir;
    MemoryDefaults defaults;
    BookmarkService bookmarks{defaults};
};

TEST_F(BookmarkServiceTest, GrantsAreStoredPerRoleAndReplacedByANewPick) {
    for (const auto* name : {"one", "two", "dest"})
        fs::create_directories(dir / name);
    EXPECT_EQ(bookmarks.startAccessing("source"), std::nullopt);
    bookmarks.saveBookmark(dir / "one", "source");
    bookmarks.saveBookmark(dir / "dest", "destination");
    bookmarks.saveBookmark(dir / "two", "source");
    // What cannot be granted leaves the earlier grant.
    for (const auto& bad : {dir.write("file.txt", "x"), dir / "missing", fs::path("relative")})
        bookmarks.saveBookmark(bad, "source");
    EXPECT_EQ(defaults.values, (std::map<std::string, std::string>{{"bm_destination", dir / "dest"},
                                                                   {"bm_source", dir / "two"}}));
    EXPECT_EQ(bookmarks.startAccessing("source"), dir / "two");
    EXPECT_EQ(bookmarks.startAccessing("destination"), dir / "dest");
    EXPECT_EQ(bookmarks.activeURLs(), (std::map<std::string, fs::path>{
                                          {"destination", dir / "dest"}, {"source", dir / "two"}}));
    bookmarks.stopAccessingAll();
    EXPECT_TRUE(bookmarks.activeURLs().empty());
}

TEST_F(BookmarkServiceTest, MissingFolderKeepsTheGrantAndSomethingElseMakesItStale) {
    fs::create_directories(dir / "drive");
    fs::create_directories(dir / "moved");
    bookmarks.saveBookmark(dir / "drive", "source");
    bookmarks.saveBookmark(dir / "moved", "destination");
    // An unplugged drive: no resolution, but the grant waits for it.
    fs::remove(dir / "drive");
    EXPECT_EQ(bookmarks.startAccessing("source"), std::nullopt);
    EXPECT_TRUE(bookmarks.activeURLs().empty());
    fs::create_directories(dir / "drive");
    EXPECT_EQ(bookmarks.resolveBookmark("source"), dir / "drive");
    // A file now stands where the folder was: the grant is stale and goes.
    fs::remove(dir / "moved");
    dir.write("moved", "not a folder");
    EXPECT_EQ(bookmarks.resolveBookmark("destination"), std::nullopt);
    EXPECT_FALSE(defaults.values.contains("bm_destination"));
    // A value this service never wrote is ignored, not removed.
    defaults.values["bm_source"] = "not/absolute";
    EXPECT_EQ(bookmarks.resolveBookmark("source"), std::nullopt);
    EXPECT_EQ(defaults.values.at("bm_source"), "not/absolute");
}

} // namespace
} // namespace quillfen
