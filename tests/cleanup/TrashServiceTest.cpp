#include "cleanup/TrashService.h"

#include "TempDir.h"

#include <algorithm>
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

// The Path= value of an info file whose layout is exactly as desktops expect.
std::string infoPath(const fs::path& infoFile) {
    static const std::regex layout(
        R"(\[Trash Info\]\nPath=(.*)\nDeletionDate=\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\n)");
    const auto text = readFile(infoFile);
    std::smatch match;
    return std::regex_match(text, match, layout) ? match[1].str() : "bad layout: " + text;
}

TEST(TrashService, MovesItemsAndLinksIntoTheHomeTrashWithTheirOrigin) {
    TempDir dir;
    // The trash's parents do not exist yet: they are made, not the current folder.
    const auto trash = dir / "data/share/Trash";
    const TrashService service(trash);
    dir.write("source/report draft.txt", "words");
    const std::string oddName = "caf\xE9"; // Latin-1, not UTF-8
    dir.write("source/" + oddName + "/inner.txt", "inner");
    dir.write("source/target.txt", "kept");
    fs::create_symlink("target.txt", dir / "source/link");
    fs::create_symlink("nowhere", dir / "source/dangling");

    for (const auto* name : {"report draft.txt", "link", "dangling"})
        ASSERT_TRUE(service.moveToTrash(dir / "source" / name)) << name;
    ASSERT_TRUE(service.moveToTrash(dir / ("source/" + oddName + "/")));

    EXPECT_EQ(namesIn(dir / "source"), std::set<std::string>{"target.txt"});
    EXPECT_EQ(readFile(trash / "files/report draft.txt"), "words");
    EXPECT_EQ(readFile(trash / "files" / oddName / "inner.txt"), "inner");
    EXPECT_EQ(fs::read_symlink(trash / "files/link"), "target.txt");
    EXPECT_EQ(fs::read_symlink(trash / "files/dangling"), "nowhere");
    const auto source = fs::canonical(dir / "source").native();
    EXPECT_EQ(infoPath(trash / "info/report draft.txt.trashinfo"), source + "/report%20draft.txt");
    EXPECT_EQ(infoPath(trash / "info" / (oddName + ".trashinfo")), source + "/caf%E9");
    for (const auto& folder : {trash, trash / "files", trash / "info"}) {
        struct stat status {};
        ASSERT_EQ(::lstat(folder.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, 0700u) << folder;
    }
}

TEST(TrashService, GivesCollidingAndOverlongNamesFreeOnes) {
    TempDir dir;
    const TrashService service(dir / "Trash");
    for (const auto* name :
         {"notes.txt", "notes.txt", "notes.txt", ".hidden", ".hidden", "archive"})
        ASSERT_TRUE(service.moveToTrash(dir.write(name, "x")));
    // A trashed item whose info file was lost still owns its name.
    dir.write("Trash/files/orphan.txt", "old");
    ASSERT_TRUE(service.moveToTrash(dir.write("orphan.txt", "new")));
    const std::string longName = std::string(250, 'n') + ".txt";
    ASSERT_TRUE(service.moveToTrash(dir.write(longName, "long")));

    auto names = namesIn(dir / "Trash/files");
    const auto shortened = std::find_if(names.begin(), names.end(),
                                        [](const auto& name) { return name.size() > 200; });
    ASSERT_NE(shortened, names.end());
    EXPECT_EQ(shortened->size() + std::string(".trashinfo").size(), 255u);
    EXPECT_TRUE(shortened->ends_with(".txt"));
    names.erase(shortened);
    EXPECT_EQ(names, (std::set<std::string>{"notes.txt", "notes 2.txt", "notes 3.txt", ".hidden",
                                            ".hidden 2", "archive", "orphan.txt", "orphan 2.txt"}));
    EXPECT_EQ(readFile(dir / "Trash/files/orphan.txt"), "old");
    EXPECT_EQ(readFile(dir / "Trash/files/orphan 2.txt"), "new");
    EXPECT_FALSE(fs::exists(dir / "Trash/info/orphan.txt.trashinfo"));
}

TEST(TrashService, LeavesItemsItCannotMoveUntouched) {
    TempDir dir;
    dir.write("keep.txt", "keep");
    dir.write("Broken/info", ""); // a file where the trash needs a folder
    dir.write("NotAFolder", "");  // the trash's place is taken by a file
    const std::pair<fs::path, fs::path> refused[] = {
        {dir / "Trash", dir / "missing.txt"},
        {dir / "Trash", dir / "."},
        {dir / "Trash", "/"},
        {dir / "Broken", dir / "keep.txt"},
        {dir / "NotAFolder/Trash", dir / "keep.txt"},
        {dir / "Trash", dir.path()}, // a folder cannot go into a trash inside itself
    };
    for (const auto& [trash, item] : refused)
        EXPECT_FALSE(TrashService(trash).moveToTrash(item)) << trash << " " << item;
    EXPECT_EQ(readFile(dir / "keep.txt"), "keep");
    EXPECT_EQ(namesIn(dir / "Broken/files"), std::set<std::string>{});
    EXPECT_EQ(namesIn(dir / "Trash/info"), std::set<std::string>{});
}

// Runs `body` in a child process with a private mount namespace in which a
// fresh tmpfs is mounted at `mountPoint`; 77 where mounting is not allowed.
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
        if (TrashService::topDirectoryOf(drive / "photos") != drive)
            return 1;
        if (!TrashService(dir / "Trash").moveToTrash(drive / "photos/a b.jpg"))
            return 2;
        const auto trash = drive / (".Trash-" + std::to_string(::getuid()));
        if (readFile(trash / "files/a b.jpg") != "jpeg" || fs::exists(dir / "Trash"))
            return 3;
        // Relative to the top of the file system, so it survives other mount points.
        return infoPath(trash / "info/a b.jpg.trashinfo") == "photos/a%20b.jpg" ? 0 : 4;
    });
    if (result == 77)
        GTEST_SKIP() << "cannot mount a file system here";
    EXPECT_EQ(result, 0);
}

} // namespace
} // namespace quillfen
