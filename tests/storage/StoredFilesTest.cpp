#include "RecordBuilders.h"
#include "TempDir.h"
#include "storage/AtomicFile.h"
#include "storage/UnreadableCopy.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace quillfen {
namespace {

using test::folderNames;
using test::readFile;
using Names = std::vector<std::string>;

TEST(AtomicFileTest, ReplacesContentLeavingNoTemporaryFileAndKeepingPermissions) {
    test::TempDir dir;
    const auto target = dir / "profiles.json";
    ASSERT_TRUE(writeFileAtomically(target, "first"));
    ::chmod(target.c_str(), 0640);
    ASSERT_TRUE(writeFileAtomically(target, "second, longer"));
    EXPECT_EQ(readFile(target), "second, longer");
    EXPECT_EQ(folderNames(dir.path()), Names{"profiles.json"});
    EXPECT_EQ(std::filesystem::status(target).permissions(), std::filesystem::perms(0640));
    // The temporary name is not built from the target's, so the longest
    // possible name still works.
    EXPECT_TRUE(writeFileAtomically(dir / std::string(255, 'n'), "x"));
}

TEST(AtomicFileTest, FailureLeavesWhatWasThereAndNoTemporaryFile) {
    test::TempDir dir;
    dir.write("target/keep.txt", "kept");
    dir.write("plain", "file");
    EXPECT_FALSE(writeFileAtomically(dir / "target", "new"));
    EXPECT_FALSE(writeFileAtomically(dir / "plain/child.json", "new"));
    EXPECT_FALSE(writeFileAtomically(dir / "missing/child.json", "new"));
    EXPECT_EQ(readFile(dir / "target/keep.txt") + readFile(dir / "plain"), "keptfile");
    EXPECT_EQ(folderNames(dir.path()), (Names{"plain", "target"}));
}

TEST(AtomicFileTest, ReadsOnlyRegularFiles) {
    test::TempDir dir;
    EXPECT_EQ(readFileBytes(dir.write("data", std::string("a\0b", 3))), std::string("a\0b", 3));
    EXPECT_EQ(readFileBytes(dir.write("empty", "")), "");
    EXPECT_EQ(readFileBytes(dir / "missing"), std::nullopt);
    EXPECT_EQ(readFileBytes(dir.path()), std::nullopt);
    // A FIFO would block a reader that waited for a writer.
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(readFileBytes(dir / "fifo"), std::nullopt);
}

TEST(UnreadableCopyTest, NamesTheCopyByUtcTimeAndNeverOverwritesOne) {
    test::TempDir dir;
    const auto file = dir.write("history.json", "[broken");
    for (const auto* damage : {"[broken", "[broken", "[other damage", ""})
        keepUnreadableCopy(file, damage, test::at("2026-12-06T10:15:00Z"));
    EXPECT_EQ(folderNames(dir.path()),
              (Names{"history.json", "history.json.unreadable-20261206T101500Z",
                     "history.json.unreadable-20261206T101500Z-2"}));
    EXPECT_EQ(readFile(dir / "history.json.unreadable-20261206T101500Z-2"), "[other damage");
}

} // namespace
} // namespace quillfen
