#include "storage/AtomicFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace quillfen {
namespace {

using test::folderNames;
using test::readFile;

TEST(AtomicFileTest, ReplacesContentLeavingNoTemporaryFileAndKeepingPermissions) {
    test::TempDir dir;
    const auto target = dir / "profiles.json";
    ASSERT_TRUE(writeFileAtomically(target, "first"));
    ::chmod(target.c_str(), 0640);
    ASSERT_TRUE(writeFileAtomically(target, "second, longer"));
    EXPECT_EQ(readFile(target), "second, longer");
    EXPECT_EQ(folderNames(dir.path()), std::vector<std::string>{"profiles.json"});
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    // The temporary name is not built from the target's, so the longest
    // possible name still works.
    EXPECT_TRUE(writeFileAtomically(dir / std::string(255, 'n'), "x"));
}

TEST(AtomicFileTest, FailureLeavesWhatWasThereAndNoTemporaryFile) {
    test::TempDir dir;
    dir.write("target/keep.txt", "kept");
    EXPECT_FALSE(writeFileAtomically(dir / "target", "new"));
    EXPECT_EQ(readFile(dir / "target/keep.txt"), "kept");
    EXPECT_EQ(folderNames(dir.path()), std::vector<std::string>{"target"});
    dir.write("plain", "file");
    EXPECT_FALSE(writeFileAtomically(dir / "plain/child.json", "new"));
    EXPECT_EQ(readFile(dir / "plain"), "file");
    EXPECT_FALSE(writeFileAtomically(dir / "missing/child.json", "new"));
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

} // namespace
} // namespace quillfen
