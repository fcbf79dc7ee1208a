#include "cleanup/TrashService.h"

#include "ChildProcess.h"
#include "TempDir.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <regex>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using test::folderNames;
using test::readFile;
using test::TempDir;

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

    EXPECT_EQ(folderNames(dir / "source"), std::vector<std::string>{"target.txt"});
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

    auto names = folderNames(dir / "Trash/files");
    const auto shortened = std::find_if(names.begin(), names.end(),
                                        [](const auto& name) { return name.size() > 200; });
    ASSERT_NE(shortened, names.end());
    EXPECT_EQ(shortened->size() + std::string(".trashinfo").size(), 255u);
    EXPECT_TRUE(shortened->ends_with(".txt"));
    names.erase(shortened);
    EXPECT_EQ(names,
              (std::vector<std::string>{".hidden", ".hidden 2", "archive", "notes 2.txt",
                                        "notes 3.txt", "notes.txt", "orphan 2.txt", "orphan.txt"}));
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
    EXPECT_TRUE(folderNames(dir / "Broken/files").empty());
    EXPECT_TRUE(folderNames(dir / "Trash/info").empty());
}

TEST(TrashService, UsesTheTrashOfAnotherFileSystemAtItsTop) {
    TempDir dir;
    fs::create_directories(dir / "drive");
    const auto drive = fs::canonical(dir / "drive");
    const auto outcome = test::runInChild([&]() -> std::string {
        // A fresh tmpfs in a mount namespace of the child's own.
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("none", drive.c_str(), "tmpfs", 0, nullptr) != 0)
            return "cannot mount";
        test::writeFile(drive / "photos/a b.jpg", "jpeg");
        if (TrashService::topDirectoryOf(drive / "photos") != drive ||
            !TrashService(dir / "Trash").moveToTrash(drive / "photos/a b.jpg"))
            return "not moved";
        const auto trash = drive / (".Trash-" + std::to_string(::getuid()));
        // Relative to the top of the file system, so it survives other mount points.
        return readFile(trash / "files/a b.jpg") + " from " +
               infoPath(trash / "info/a b.jpg.trashinfo") +
               (fs::exists(dir / "Trash") ? " and a home trash" : "");
    });
    if (outcome == "cannot mount")
        GTEST_SKIP() << "cannot mount a file system here";
    EXPECT_EQ(outcome, "jpeg from photos/a%20b.jpg");
}

} // namespace
} // namespace quillfen
