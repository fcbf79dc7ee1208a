#include "cleanup/TrashDirectory.h"

#include "TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

const uid_t kUid = ::getuid();
const std::string kOwnTrash = ".Trash-" + std::to_string(kUid);

// Hands `path` to another user; only root can, so tests that need it skip elsewhere.
bool giveToAnotherUser(const fs::path& path) {
    constexpr uid_t kNobody = 65534;
    return ::chown(path.c_str(), kNobody, kNobody) == 0;
}

fs::path trashRootIn(const TempDir& dir) {
    const auto trash = TrashDirectory::forTopDirectory(dir.path(), kUid);
    return trash ? trash->root() : fs::path("refused");
}

TEST(TrashDirectory, PerUserFolderByDefaultWithPrivateAccess) {
    TempDir dir;
    const auto trash = TrashDirectory::forTopDirectory(dir.path(), kUid);
    ASSERT_TRUE(trash);
    EXPECT_EQ(trash->root(), dir / kOwnTrash);
    struct stat status {};
    ASSERT_EQ(::lstat(trash->root().c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0700u);
    ASSERT_TRUE(trash->receive(dir.write("music/song one.ogg", "ogg")));
    EXPECT_EQ(test::readFile(trash->root() / "files/song one.ogg"), "ogg");
    // Relative to the top folder, so the trash survives another mount point.
    EXPECT_NE(test::readFile(trash->root() / "info/song one.ogg.trashinfo")
                  .find("\nPath=music/song%20one.ogg\n"),
              std::string::npos);
}

TEST(TrashDirectory, UsesTheAdministratorsTrashOnlyWhenItIsARealStickyFolder) {
    {
        TempDir dir;
        fs::create_directory(dir / ".Trash");
        ::chmod((dir / ".Trash").c_str(), 01777);
        EXPECT_EQ(trashRootIn(dir), dir / ".Trash" / std::to_string(kUid));
    }
    {
        TempDir dir;
        fs::create_directory(dir / ".Trash"); // not sticky: others could swap our items
        EXPECT_EQ(trashRootIn(dir), dir / kOwnTrash);
        EXPECT_FALSE(fs::exists(dir / ".Trash" / std::to_string(kUid)));
    }
    {
        TempDir dir;
        fs::create_directory(dir / "elsewhere");
        ::chmod((dir / "elsewhere").c_str(), 01777);
        fs::create_directory_symlink("elsewhere", dir / ".Trash");
        EXPECT_EQ(trashRootIn(dir), dir / kOwnTrash);
        EXPECT_TRUE(fs::is_empty(dir / "elsewhere"));
    }
}

TEST(TrashDirectory, RefusesAPerUserTrashThatIsNotTheUsersOwnFolder) {
    {
        TempDir dir;
        fs::create_directory(dir / "planted");
        fs::create_directory_symlink("planted", dir / kOwnTrash);
        EXPECT_EQ(trashRootIn(dir), "refused");
        EXPECT_TRUE(fs::is_empty(dir / "planted"));
    }
    TempDir dir;
    fs::create_directories(dir / ".Trash" / std::to_string(kUid));
    ::chmod((dir / ".Trash").c_str(), 01777);
    fs::create_directory(dir / kOwnTrash);
    if (!giveToAnotherUser(dir / ".Trash" / std::to_string(kUid)) ||
        !giveToAnotherUser(dir / kOwnTrash))
        GTEST_SKIP() << "only root can give a folder away";
    // Another user's folder inside the sticky trash is passed over, and
    // another user's per-user trash is refused.
    EXPECT_EQ(trashRootIn(dir), "refused");
}

} // namespace
} // namespace quillfen
