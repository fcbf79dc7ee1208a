#include "app/TrashDirectory.h"

#include "TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TempDir;

// Hands `path` to another user; only root can, so tests that need it skip
// elsewhere.
bool giveToAnotherUser(const fs::path& path) {
    constexpr uid_t kNobody = 65534;
    return ::chown(path.c_str(), kNobody, kNobody) == 0;
}

TEST(TrashDirectory, TopDirectoryTrashIsThePerUserFolderByDefault) {
    TempDir dir;
    const auto top = fs::canonical(dir.path());
    const auto uid = ::getuid();
    const auto trash = TrashDirectory::forTopDirectory(top, uid);
    ASSERT_TRUE(trash);
    EXPECT_EQ(trash->root(), top / (".Trash-" + std::to_string(uid)));
    struct stat status {};
    ASSERT_EQ(::lstat(trash->root().c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0700u);

    dir.write("music/song one.ogg", "ogg");
    ASSERT_TRUE(trash->receive(top / "music/song one.ogg"));
    EXPECT_EQ(readFile(trash->root() / "files/song one.ogg"), "ogg");
    EXPECT_NE(readFile(trash->root() / "info/song one.ogg.trashinfo")
                  .find("\nPath=music/song%20one.ogg\n"),
              std::string::npos);
}

TEST(TrashDirectory, UsesTheAdministratorsTrashOnlyWhenItIsARealStickyFolder) {
    const auto uid = ::getuid();
    const auto uidText = std::to_string(uid);
    {
        TempDir dir;
        fs::create_directory(dir / ".Trash");
        ::chmod((dir / ".Trash").c_str(), 01777);
        const auto trash = TrashDirectory::forTopDirectory(dir.path(), uid);
        ASSERT_TRUE(trash);
        EXPECT_EQ(trash->root(), dir / ".Trash" / uidText);
    }
    {
        TempDir dir;
        fs::create_directory(dir / ".Trash"); // not sticky: others could swap our items
        const auto trash = TrashDirectory::forTopDirectory(dir.path(), uid);
        ASSERT_TRUE(trash);
        EXPECT_EQ(trash->root(), dir / (".Trash-" + uidText));
        EXPECT_FALSE(fs::exists(dir / ".Trash" / uidText));
    }
    {
        TempDir dir;
        fs::create_directory(dir / "elsewhere");
        ::chmod((dir / "elsewhere").c_str(), 01777);
        fs::create_directory_symlink("elsewhere", dir / ".Trash");
        const auto trash = TrashDirectory::forTopDirectory(dir.path(), uid);
        ASSERT_TRUE(trash);
        EXPECT_EQ(trash->root(), dir / (".Trash-" + uidText));
        EXPECT_TRUE(fs::is_empty(dir / "elsewhere"));
    }
}

TEST(TrashDirectory, RefusesAPerUserTrashThatIsNotTheUsersOwnFolder) {
    const auto uid = ::getuid();
    const auto own = ".Trash-" + std::to_string(uid);
    {
        TempDir dir;
        fs::create_directory(dir / "planted");
        fs::create_directory_symlink("planted", dir / own);
        EXPECT_FALSE(TrashDirectory::forTopDirectory(dir.path(), uid));
        EXPECT_TRUE(fs::is_empty(dir / "planted"));
    }
    {
        TempDir dir;
        fs::create_directory(dir / own);
        if (!giveToAnotherUser(dir / own))
            GTEST_SKIP() << "only root can give a folder away";
        EXPECT_FALSE(TrashDirectory::forTopDirectory(dir.path(), uid));
    }
    {
        // Another user's folder inside the sticky trash: fall back to our own.
        TempDir dir;
        fs::create_directories(dir / ".Trash" / std::to_string(uid));
        ::chmod((dir / ".Trash").c_str(), 01777);
        if (!giveToAnotherUser(dir / ".Trash" / std::to_string(uid)))
            GTEST_SKIP() << "only root can give a folder away";
        const auto trash = TrashDirectory::forTopDirectory(dir.path(), uid);
        ASSERT_TRUE(trash);
        EXPECT_EQ(trash->root(), dir / own);
    }
}

} // namespace
} // namespace quillfen
