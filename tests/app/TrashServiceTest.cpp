#include "app/TrashService.h"

#include "TempDir.h"

#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <regex>
#include <set>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TempDir;

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        names.insert(entry.path().filename().native());
    return names;
}

bool entryExists(const fs::path& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

mode_t permissions(const fs::path& path) {
    struct stat status {};
    ::lstat(path.c_str(), &status);
    return status.st_mode & 07777;
}

// Matches an info file for the item at `path` (already percent-encoded).
void expectInfo(const fs::path& infoFile, const std::string& encodedPath) {
    static const std::regex layout(
        R"(\[Trash Info\]\nPath=(.*)\nDeletionDate=\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\n)");
    const auto text = readFile(infoFile);
    std::smatch match;
    ASSERT_TRUE(std::regex_match(text, match, layout)) << text;
    EXPECT_EQ(match[1].str(), encodedPath);
}

TEST(TrashService, MovesItemsIntoTheHomeTrashWithTheirOrigin) {
    TempDir dir;
    // The trash's parents do not exist yet: they are made, not the current folder.
    const auto trash = dir / "data/share/Trash";
    const TrashService service(trash);
    dir.write("source/report draft.txt", "words");
    const std::string oddName = "caf\xE9"; // Latin-1, not UTF-8
    dir.write("source/" + oddName + "/inner.txt", "inner");

    ASSERT_TRUE(service.moveToTrash(dir / "source/report draft.txt"));
    ASSERT_TRUE(service.moveToTrash(dir / ("source/" + oddName + "/")));

    EXPECT_EQ(namesIn(dir / "source"), std::set<std::string>{});
    EXPECT_EQ(readFile(trash / "files/report draft.txt"), "words");
    EXPECT_EQ(readFile(trash / "files" / oddName / "inner.txt"), "inner");
    const auto source = fs::canonical(dir / "source").native();
    expectInfo(trash / "info/report draft.txt.trashinfo", source + "/report%20draft.txt");
    expectInfo(trash / "info" / (oddName + ".trashinfo"), source + "/caf%E9");
    EXPECT_EQ(permissions(trash), 0700u);
    EXPECT_EQ(permissions(trash / "files"), 0700u);
    EXPECT_EQ(permissions(trash / "info"), 0700u);
    EXPECT_FALSE(entryExists(dir / "source/files"));
}

TEST(TrashService, DefaultsToTheTrashInTheDataHome) {
    EXPECT_EQ(TrashService::defaultHomeTrash(), fs::path(std::getenv("XDG_DATA_HOME")) / "Trash");
}

TEST(TrashService, GivesCollidingNamesANumberBeforeTheExtension) {
    TempDir dir;
    const TrashService service(dir / "Trash");
    for (int round = 0; round < 3; ++round) {
        dir.write("notes.txt", std::to_string(round));
        ASSERT_TRUE(service.moveToTrash(dir / "notes.txt"));
    }
    for (int round = 0; round < 2; ++round) {
        dir.write(".hidden", "h");
        dir.write("archive", "a");
        ASSERT_TRUE(service.moveToTrash(dir / ".hidden"));
        ASSERT_TRUE(service.moveToTrash(dir / "archive"));
    }
    // A trashed item whose info file was lost still owns its name.
    dir.write("Trash/files/orphan.txt", "old");
    dir.write("orphan.txt", "new");
    ASSERT_TRUE(service.moveToTrash(dir / "orphan.txt"));

    EXPECT_EQ(
        namesIn(dir / "Trash/files"),
        (std::set<std::string>{"notes.txt", "notes 2.txt", "notes 3.txt", ".hidden", ".hidden 2",
                               "archive", "archive 2", "orphan.txt", "orphan 2.txt"}));
    EXPECT_EQ(readFile(dir / "Trash/files/notes 3.txt"), "2");
    EXPECT_EQ(readFile(dir / "Trash/files/orphan.txt"), "old");
    EXPECT_EQ(readFile(dir / "Trash/files/orphan 2.txt"), "new");
    EXPECT_FALSE(entryExists(dir / "Trash/info/orphan.txt.trashinfo"));
    EXPECT_TRUE(entryExists(dir / "Trash/info/notes 3.txt.trashinfo"));
}

TEST(TrashService, ShortensNamesThatWouldNotFitBesideTheInfoSuffix) {
    TempDir dir;
    const TrashService service(dir / "Trash");
    const std::string longName = std::string(250, 'n') + ".txt";
    dir.write(longName, "long");
    ASSERT_TRUE(service.moveToTrash(dir / longName));
    const auto names = namesIn(dir / "Trash/files");
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names.begin()->size() + std::string(".trashinfo").size(), 255u);
    EXPECT_TRUE(names.begin()->ends_with(".txt"));
    EXPECT_EQ(readFile(dir / "Trash/files" / *names.begin()), "long");
}

TEST(TrashService, TrashesALinkItselfNotWhatItPointsTo) {
    TempDir dir;
    const TrashService service(dir / "Trash");
    dir.write("target.txt", "kept");
    fs::create_symlink("target.txt", dir / "link");
    fs::create_symlink("nowhere", dir / "dangling");

    ASSERT_TRUE(service.moveToTrash(dir / "link"));
    ASSERT_TRUE(service.moveToTrash(dir / "dangling"));

    EXPECT_EQ(readFile(dir / "target.txt"), "kept");
    EXPECT_EQ(fs::read_symlink(dir / "Trash/files/link"), "target.txt");
    EXPECT_EQ(fs::read_symlink(dir / "Trash/files/dangling"), "nowhere");
}

TEST(TrashService, LeavesItemsItCannotMoveUntouched) {
    TempDir dir;
    dir.write("keep.txt", "keep");
    EXPECT_FALSE(TrashService(dir / "Trash").moveToTrash(dir / "missing.txt"));
    EXPECT_FALSE(entryExists(dir / "Trash/info/missing.txt.trashinfo"));
    EXPECT_FALSE(TrashService(dir / "Trash").moveToTrash(dir / "."));
    EXPECT_FALSE(TrashService(dir / "Trash").moveToTrash("/"));

    // "info" is a file where the trash needs a folder.
    dir.write("Broken/info", "");
    EXPECT_FALSE(TrashService(dir / "Broken").moveToTrash(dir / "keep.txt"));
    // The trash's place is taken by a file.
    dir.write("NotAFolder", "");
    EXPECT_FALSE(TrashService(dir / "NotAFolder/Trash").moveToTrash(dir / "keep.txt"));
    // A folder cannot go into a trash inside itself.
    EXPECT_FALSE(TrashService(dir / "Trash").moveToTrash(dir.path()));

    EXPECT_EQ(readFile(dir / "keep.txt"), "keep");
    EXPECT_EQ(readFile(dir / "Broken/info"), "");
    EXPECT_EQ(namesIn(dir / "Broken/files"), std::set<std::string>{});
    EXPECT_EQ(namesIn(dir / "Trash/info"), std::set<std::string>{});
}

// Runs `body` in a child process with a private mount namespace in which a
// fresh tmpfs is mounted at `mountPoint`; skips the test where mounting is
// not allowed. The child's exit code is the result.
int runWithTmpfsAt(const fs::path& mountPoint, const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("none", mountPoint.c_str(), "tmpfs", 0, nullptr) != 0)
            ::_exit(77);
        try {
            ::_exit(body());
        } catch (...) {
            ::_exit(100);
        }
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(TrashService, UsesTheTrashOfAnotherFileSystemAtItsTop) {
    TempDir dir;
    fs::create_directories(dir / "drive");
    const auto drive = fs::canonical(dir / "drive");
    const int result = runWithTmpfsAt(drive, [&] {
        test::writeFile(drive / "photos/a b.jpg", "jpeg");
        const TrashService service(dir / "Trash");
        if (TrashService::topDirectoryOf(drive / "photos") != drive)
            return 1;
        if (!service.moveToTrash(drive / "photos/a b.jpg"))
            return 2;
        const auto trash = drive / (".Trash-" + std::to_string(::getuid()));
        if (readFile(trash / "files/a b.jpg") != "jpeg" || entryExists(dir / "Trash"))
            return 3;
        // Relative to the top of the file system, so it survives other mount points.
        if (readFile(trash / "info/a b.jpg.trashinfo").find("\nPath=photos/a%20b.jpg\n") ==
            std::string::npos)
            return 4;
        return 0;
    });
    if (result == 77)
        GTEST_SKIP() << "cannot mount a file system here";
    EXPECT_EQ(result, 0);
}

} // namespace
} // namespace quillfen
