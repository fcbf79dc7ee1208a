#include "ChildProcess.h"
#include "TempDir.h"
#include "cleanup/CleanSourceScanner.h"
#include "cleanup/TrashDirectory.h"
#include "cleanup/TrashService.h"

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
using Names = std::vector<std::string>;

const uid_t kUid = ::getuid();
const std::string kOwnTrash = ".Trash-" + std::to_string(kUid);

// The Path= value of an info file whose layout is exactly as desktops expect.
std::string infoPath(const fs::path& infoFile) {
    static const std::regex layout(
        R"(\[Trash Info\]\nPath=(.*)\nDeletionDate=\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\n)");
    const auto text = readFile(infoFile);
    std::smatch match;
    return std::regex_match(text, match, layout) ? match[1].str() : "bad layout: " + text;
}

TEST(CleanSourceScan, ListsMatchesButNothingBelowAMatchedFolder) {
    TempDir root;
    root.write("a/node_modules/x/node_modules/y.js", "y");
    root.write("deep/er/.DS_Store", "meta");
    root.write("keep.txt", "k");
    auto items = CleanSourceScanner::scanForMatches(root.path(), {".DS_Store", "node_modules"});
    std::ranges::sort(items, {}, &CleanItem::relativePath);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_TRUE(items[0].relativePath == "a/node_modules" && items[0].isDirectory);
    EXPECT_EQ(items[1].bytes, 4);
    EXPECT_EQ(items[1].url, fs::canonical(root.path()) / "deep/er/.DS_Store");
    EXPECT_TRUE(CleanSourceScanner::scanForMatches(root / "missing", {"*"}).empty());
    // A rule for folders only leaves a file of that name alone.
    EXPECT_TRUE(CleanSourceScanner::scanForMatches(root.path(), {"keep.txt/"}).empty());
}

TEST(TrashDirectory, PerUserByDefaultTheAdministratorsOnlyWhenARealStickyFolderOfItsOwn) {
    // A folder made in the top folder, whether it is sticky, what links to
    // it, and which trash the top folder then gets.
    struct Case {
        std::string folder;
        bool sticky;
        std::string link;
        std::string expected;
    };
    const Case cases[] = {{".Trash", true, "", ".Trash/" + std::to_string(kUid)},
                          {".Trash", false, "", kOwnTrash}, // others could swap our items
                          {"elsewhere", true, ".Trash", kOwnTrash},
                          {"planted", false, kOwnTrash, "refused"}};
    for (const auto& [folder, sticky, link, expected] : cases) {
        TempDir dir;
        fs::create_directory(dir / folder);
        ::chmod((dir / folder).c_str(), sticky ? 01777 : 0755);
        if (!link.empty())
            fs::create_directory_symlink(folder, dir / link);
        const auto trash = TrashDirectory::forTopDirectory(dir.path(), kUid);
        EXPECT_EQ(trash ? trash->root() : dir / "refused", dir / expected);
        for (const auto& name : folderNames(dir.path()))
            EXPECT_TRUE(name == *fs::path(expected).begin() || fs::is_empty(dir / name)) << name;
        if (!trash)
            continue;
        EXPECT_EQ(fs::symlink_status(trash->root()).permissions(), fs::perms::owner_all);
        ASSERT_TRUE(trash->receive(dir.write("music/song one.ogg", "ogg")));
        // Relative to the top folder, so the trash survives another mount point.
        EXPECT_EQ(infoPath(trash->root() / "info/song one.ogg.trashinfo"), "music/song%20one.ogg");
    }

    // Another user's folders (nobody's) are passed over or refused.
    TempDir dir;
    fs::create_directories(dir / ".Trash" / std::to_string(kUid));
    ::chmod((dir / ".Trash").c_str(), 01777);
    fs::create_directory(dir / kOwnTrash);
    if (::chown((dir / ".Trash" / std::to_string(kUid)).c_str(), 65534, 65534) != 0 ||
        ::chown((dir / kOwnTrash).c_str(), 65534, 65534) != 0)
        GTEST_SKIP() << "only root can give a folder away";
    EXPECT_FALSE(TrashDirectory::forTopDirectory(dir.path(), kUid));
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

    EXPECT_EQ(folderNames(dir / "source"), Names{"target.txt"});
    EXPECT_EQ(readFile(trash / "files/report draft.txt"), "words");
    EXPECT_EQ(readFile(trash / "files" / oddName / "inner.txt"), "inner");
    EXPECT_EQ(fs::read_symlink(trash / "files/link"), "target.txt");
    EXPECT_EQ(fs::read_symlink(trash / "files/dangling"), "nowhere");
    const auto source = fs::canonical(dir / "source").native();
    EXPECT_EQ(infoPath(trash / "info/report draft.txt.trashinfo"), source + "/report%20draft.txt");
    EXPECT_EQ(infoPath(trash / "info" / (oddName + ".trashinfo")), source + "/caf%E9");
    for (const auto& folder : {trash, trash / "files", trash / "info"})
        EXPECT_EQ(fs::symlink_status(folder).permissions(), fs::perms::owner_all) << folder;
}

TEST(TrashService, GivesCollidingAndOverlongNamesFreeOnes) {
    TempDir dir;
    const TrashService service(dir / "Trash");
    for (const auto* name : {"notes.txt", "notes.txt", "notes.txt", ".hidden", ".hidden"})
        ASSERT_TRUE(service.moveToTrash(dir.write(name, "x")));
    // A trashed item whose info file was lost still owns its name.
    dir.write("Trash/files/orphan.txt", "old");
    ASSERT_TRUE(service.moveToTrash(dir.write("orphan.txt", "new")));
    ASSERT_TRUE(service.moveToTrash(dir.write(std::string(250, 'n') + ".txt", "long")));

    auto names = folderNames(dir / "Trash/files");
    ASSERT_EQ(names.size(), 8u);
    // The overlong name is cut so that its info file's name still fits.
    EXPECT_TRUE(names[2].size() + std::string(".trashinfo").size() == 255 &&
                names[2].ends_with(".txt"))
        << names[2];
    names.erase(names.begin() + 2);
    EXPECT_EQ(names, (Names{".hidden", ".hidden 2", "notes 2.txt", "notes 3.txt", "notes.txt",
                            "orphan 2.txt", "orphan.txt"}));
    EXPECT_EQ(readFile(dir / "Trash/files/orphan.txt"), "old");
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
        {dir / "Trash", dir.path()}}; // a folder cannot go into a trash inside itself
    for (const auto& [trash, item] : refused)
        EXPECT_FALSE(TrashService(trash).moveToTrash(item)) << trash << " " << item;
    EXPECT_EQ(readFile(dir / "keep.txt"), "keep");
    EXPECT_TRUE(folderNames(dir / "Broken/files").empty() &&
                folderNames(dir / "Trash/info").empty());
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
        const auto trash = drive / kOwnTrash;
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
