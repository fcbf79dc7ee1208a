#include "EngineTestSupport.h"
#include "engine/FileDescriptor.h"

#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <thread>

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using test::readFile;

class SafetyTest : public test::EngineTest {};
class DestinationGuardTest : public test::EngineTest {};

TEST_F(SafetyTest, RefusedRunsAndPreviewsWriteNothing) {
    root.write("src/a", "a");
    root.write("file", "not a folder");
    const auto src = root / "src";
    fs::create_directory_symlink(src, root / "link");
    const auto overlap = [](const fs::path& source, const fs::path& destination) {
        return "Source and destination overlap: " + source.string() + " and " +
               destination.string();
    };
    struct Case {
        fs::path source, destination;
        std::string refusal;
        SyncOptions options = {};
    };
    const Case cases[] = {
        {root / "missing", root / "dst", "Source not found: " + (root / "missing").string()},
        {root / "file", root / "dst", "Not a folder: " + (root / "file").string()},
        {src, root / "file", "Not a folder: " + (root / "file").string()},
        {src, src, overlap(src, src)},
        {src, src / "inside/deeper", overlap(src, src / "inside/deeper")},
        {src / "", root.path(), overlap(src / "", root.path())},
        {root / "link", src, overlap(root / "link", src)},
        {src, root / "link/new", overlap(src, root / "link/new")},
        {src, root.path(), overlap(src, src), {.preserveRoot = true}},
        // An exclusion that keeps out something else below the destination.
        {src, src / "backup", overlap(src, src / "backup"), {.excludePatterns = {"backup/x"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.refusal);
        EXPECT_EQ(test::errorOf([&] { engine.preview(c.source, c.destination, c.options); }),
                  c.refusal);
        EXPECT_EQ(test::errorOf([&] { engine.sync(c.source, c.destination, c.options); }),
                  c.refusal);
    }
    EXPECT_TRUE(recorder.progress.empty());
    EXPECT_FALSE(fs::exists(root / "dst"));
    EXPECT_FALSE(fs::exists(src / "inside")) << "not even the destination is made";
    fs::create_directories(root / "mnt"); // a bind mount of the source is the source
    if (::mount(src.c_str(), (root / "mnt").c_str(), nullptr, MS_BIND, nullptr) == 0) {
        EXPECT_NE(test::errorOf([&] { engine.sync(src, root / "mnt/copy", {}); }), "");
        EXPECT_NE(test::errorOf([&] { engine.preview(root / "mnt", src, {}); }), "");
        ::umount((root / "mnt").c_str());
    }

    EXPECT_EQ(run().filesCopied, 1);
    EXPECT_EQ(SyncEngine().sync(src, root / "srcx", {}).filesCopied, 1)
        << "a shared prefix is no overlap";
    // A destination the rules keep out of the source scan is never read back.
    const SyncOptions keptOut{.excludePatterns = {"*.tmp", "backup/"}};
    EXPECT_EQ(SyncEngine().sync(src, src / "backup/copy", keptOut).filesCopied, 1);
    EXPECT_EQ(readFile(src / "backup/copy/a"), "a");
    EXPECT_TRUE(SyncEngine().preview(src, src / "backup/copy", keptOut).empty());
}

TEST_F(SafetyTest, LinksInTheDestinationAreNeverFollowedAndAFileBlockedFailsAlone) {
    root.write("src/file.txt", "new");
    root.write("src/folder/inner.txt", "inner");
    root.write("src/blocked/a.txt", "a");
    root.write("dst/blocked", "a file where a folder goes");
    const auto outsideFile = root.write("outside/target.txt", "precious");
    fs::create_symlink(outsideFile, root / "dst/file.txt");
    fs::create_directory_symlink(root / "outside", root / "dst/folder");

    const auto result = run();

    EXPECT_EQ(readFile(outsideFile), "precious");
    EXPECT_EQ(readFile(root / "dst/file.txt"), "new");
    EXPECT_FALSE(fs::exists(root / "outside/inner.txt"));
    EXPECT_EQ(result.failedCount, 2);
    EXPECT_EQ(result.filesCopied, 1);
    EXPECT_TRUE(recorder.logged("Error: folder/inner.txt — " + (root / "dst/folder").string() +
                                ": Too many levels of symbolic links"));
    EXPECT_TRUE(recorder.logged("Error: blocked/a.txt — " + (root / "dst/blocked").string() +
                                ": Not a directory"));
}

TEST_F(SafetyTest, AFolderInTheWayIsKeptUnlessMirroringThenItsFilesAreDeletedOneByOne) {
    root.write("src/name", "file content");
    root.write("dst/name/sub/x", "x");
    root.write("dst/name/locked/kept", "k");
    root.write("outside/keep", "k");
    fs::create_directory_symlink(root / "outside", root / "dst/name/link");
    auto result = run();
    EXPECT_EQ(result.failedCount, 1);
    EXPECT_EQ(result.filesDeleted, 0);
    EXPECT_TRUE(recorder.logged("Error: name — a folder is in the way"));
    EXPECT_EQ(readFile(root / "dst/name/sub/x"), "x");

    // What cannot be deleted stays, with the rest of the folder's files gone.
    for (const auto* folder : {"dst/name", "dst/name/sub"})
        ::chmod((root / folder).c_str(), 0777);
    ::chmod((root / "dst/name/locked").c_str(), 0555);
    const auto told = runAsNobody({root / "src", root / "dst"}, {.deleteExtras = true});
    for (const auto& line : std::vector<std::string>{
             "Deleted: name/sub/x\n", "Deleted: name/link\n",
             "Error: name — a folder is in the way\n",
             "Error deleting: name/locked/kept — " + (root / "dst/name/locked/kept").string() +
                 ": Permission denied\n",
             "2 deleted, 2 failed"})
        EXPECT_NE(told.find(line), std::string::npos) << told;
    EXPECT_EQ(readFile(root / "dst/name/locked/kept"), "k");

    result = run({.deleteExtras = true});
    EXPECT_EQ(result.failedCount, 0);
    EXPECT_EQ(result.filesDeleted, 1);
    EXPECT_EQ(readFile(root / "dst/name"), "file content");
    EXPECT_EQ(readFile(root / "outside/keep"), "k") << "the link went, not what it points to";
    EXPECT_TRUE(test::temporaryFilesIn(root / "dst").empty());
}

TEST_F(SafetyTest, WhatAppearsWhereACopyGoesAfterTheRunLookedIsReplacedOrKeptAsEver) {
    root.write("src/file", "new");
    root.write("src/folder", "new");
    std::string last;
    engine.onProgress = [&](const SyncProgress& progress) {
        // Just before its copy, after the run found nothing there.
        if (progress.currentFile == last)
            return;
        last = progress.currentFile;
        if (last == "file")
            root.write("dst/file", "someone else's");
        if (last == "folder")
            root.write("dst/folder/inner", "kept");
    };
    const auto result = run();
    EXPECT_EQ(readFile(root / "dst/file"), "new");
    EXPECT_EQ(result.filesCopied, 1);
    EXPECT_TRUE(recorder.logged("Error: folder — a folder is in the way"));
    EXPECT_EQ(readFile(root / "dst/folder/inner"), "kept");
}

TEST_F(SafetyTest, ACancelledCopyKeepsTheOldFileAndLeavesNoTemporaryFile) {
    root.write("src/big", std::string(600'000, 'n'));
    root.write("dst/big", "old version");
    std::stop_source stop;
    std::jthread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        stop.request_stop();
    });
    const auto started = std::chrono::steady_clock::now();
    const auto result = run({.bandwidthLimit = 64}, stop.get_token());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3))
        << "the throttle's pause ends at once on cancel";
    EXPECT_EQ(result.status, SyncStatus::cancelled);
    EXPECT_EQ(result.failedCount, 1);
    EXPECT_EQ(result.filesCopied, 0);
    EXPECT_TRUE(recorder.logged("Error: big — Cancelled"));
    EXPECT_EQ(readFile(root / "dst/big"), "old version");
    EXPECT_TRUE(test::temporaryFilesIn(root / "dst").empty());
}

TEST_F(SafetyTest, AFileThatChangesWhileBeingCopiedNeverReplacesTheGoodCopy) {
    const auto source = root.write("src/growing.log", std::string(300'000, 'a'));
    root.write("dst/growing.log", "the good copy");
    const SyncOptions options{.bandwidthLimit = 1024};
    // Appends once each attempt's copy has begun, while the throttle holds it.
    const auto appendDuring = [&](int attempts) {
        return std::jthread([&, attempts, seen = test::temporaryFilesIn(root / "dst")]() mutable {
            for (int attempt = 0; attempt < attempts; ++attempt) {
                const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
                auto now = test::temporaryFilesIn(root / "dst");
                for (; (now.empty() || now == seen) && std::chrono::steady_clock::now() < giveUp;
                     now = test::temporaryFilesIn(root / "dst"))
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                seen = now;
                std::ofstream(source, std::ios::app) << "more lines\n";
            }
        });
    };

    auto writer = appendDuring(2);
    auto result = run(options);
    writer.join();
    EXPECT_EQ(result.failedCount, 1);
    EXPECT_TRUE(recorder.logged("Error: growing.log — changed while being copied"));
    EXPECT_EQ(readFile(root / "dst/growing.log"), "the good copy");
    EXPECT_TRUE(test::temporaryFilesIn(root / "dst").empty());

    writer = appendDuring(1);
    result = run(options);
    writer.join();
    EXPECT_EQ(result.failedCount, 0) << "a file that settled is copied on the second try";
    EXPECT_EQ(result.filesCopied, 1);
    EXPECT_TRUE(readFile(root / "dst/growing.log") == readFile(source));
}

TEST_F(SafetyTest, AnUnreadableSubfolderIsNotMirroredAwayAndAnUnreadableSourceTouchesNothing) {
    root.write("src/open/a", "a");
    root.write("src/locked/secret", "s");
    root.write("dst/locked/deeper/older", "o");
    root.write("dst/extra", "e");
    ::chmod((root / "src/locked").c_str(), 0700);
    for (const auto* folder : {"dst/locked", "dst/locked/deeper"})
        ::chmod((root / folder).c_str(), 0777);
    const SyncOptions mirror{.deleteExtras = true};
    const auto plan = test::runAsNobody({root / "src", root / "dst"}, [&] {
        return ::testing::PrintToString(
            test::planOf(engine.preview(root / "src", root / "dst", mirror)));
    });
    EXPECT_EQ(plan,
              ::testing::PrintToString(std::vector<std::string>{"copy open/a", "delete extra"}));
    EXPECT_EQ(runAsNobody({}, mirror),
              "Error: locked — " + (root / "src/locked").string() +
                  ": Permission denied\nCopied: open/a\nDeleted: extra\n1 deleted, 1 failed");
    EXPECT_TRUE(fs::exists(root / "dst/locked/deeper/older"));
    EXPECT_FALSE(fs::exists(root / "dst/extra"));

    root.write("dst/extra", "e");
    ::chmod((root / "src").c_str(), 0700);
    EXPECT_EQ(test::runAsNobody({}, [&] { return test::errorOf([&] { run(mirror); }); }),
              "Cannot read: " + (root / "src").string());
    EXPECT_TRUE(fs::exists(root / "dst/extra"));
}

TEST_F(SafetyTest, ExtendedAttributesAreCopiedWhereTheFileSystemKeepsThem) {
    const auto source = root.write("src/a", "a");
    if (::setxattr(source.c_str(), "user.origin", "camera", 6, 0) != 0)
        GTEST_SKIP() << "no user extended attributes here";
    run();
    char value[16] = {};
    EXPECT_EQ(::getxattr((root / "dst/a").c_str(), "user.origin", value, sizeof value), 6);
    EXPECT_STREQ(value, "camera");
}

TEST_F(DestinationGuardTest, OneRunAtATimeWritesAndRemovesWhatKilledRunsLeft) {
    root.write("src/a.txt", "a");
    root.write("src/sub/b.txt", "b");
    const auto dst = root / "dst";
    const std::vector<std::string> leftovers = {".quillfen-abcd1234.tmp",
                                                "sub/.quillfen-0z9y8x7w.tmp"};
    const std::vector<std::string> lookalikes = {".quillfen-ABCD1234.tmp", ".quillfen-notes.txt",
                                                 "sub/.quillfen-abcd12345.tmp"};
    for (const auto& path : leftovers)
        root.write("dst/" + path, "partial");
    for (const auto& path : lookalikes)
        root.write("dst/" + path, "mine");
    const SyncOptions mirror{.deleteExtras = true};
    {
        // Another run holds the destination.
        const FileDescriptor other(::open(dst.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        ASSERT_EQ(::flock(other.get(), LOCK_EX | LOCK_NB), 0);
        EXPECT_EQ(test::errorOf([&] { run(mirror); }),
                  "Destination is in use by another run: " + dst.string());
        EXPECT_FALSE(fs::exists(dst / "a.txt"));
        for (const auto& path : leftovers)
            EXPECT_TRUE(fs::exists(dst / path)) << "another run's copy under way: " << path;
        // A preview takes no lock, and never lists temporary files.
        EXPECT_EQ(test::deletionsOf(engine.preview(root / "src", dst, mirror)), lookalikes);
    }
    auto result = run();
    EXPECT_EQ(result.filesCopied, 2);
    EXPECT_EQ(recorder.lines.size(), 2u) << "nothing said of the leftovers";
    for (const auto& path : leftovers)
        EXPECT_FALSE(fs::exists(dst / path)) << path;
    for (const auto& path : lookalikes)
        EXPECT_EQ(readFile(dst / path), "mine") << path;

    // Mirror mode finds them in its own scan: not the user's files to delete.
    for (const auto& path : leftovers)
        root.write("dst/" + path, "partial");
    result = run(mirror);
    EXPECT_EQ(result.filesDeleted, std::ssize(lookalikes));
    for (const auto& path : leftovers)
        EXPECT_FALSE(fs::exists(dst / path)) << path;
}

TEST_F(DestinationGuardTest, MirrorDeletionsThatWouldGutTheDestinationAreWithheld) {
    struct Case {
        RunStart start;
        std::optional<std::int64_t> maxDeletions;
        int inSource;      // of the destination's files, how many the source still has
        int inDestination; // files in the destination before the run
        std::string refusal;
    };
    using enum RunStart;
    const Case cases[] = {
        {unattended, {}, 0, 3, "Not deleting 3 of 3 files"},
        {byHand, {}, 0, 3, ""},
        {unattended, {}, 40, 200, "Not deleting 160 of 201 files"}, // with one new file
        {unattended, {}, 100, 200, ""},                             // half is not most
        {byHand, 2, 0, 3, "Not deleting 3 of 3 files"},
        {byHand, 3, 0, 3, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        const test::TempDir folders;
        fs::create_directories(folders / "src");
        for (int file = 0; file < c.inDestination; ++file) {
            const auto name = "f" + std::to_string(file);
            if (file < c.inSource)
                folders.write("src/" + name, "x");
            folders.write("dst/" + name, "x");
        }
        if (c.inSource > 0)
            folders.write("src/new", "n");
        const auto result =
            engine.sync(folders / "src", folders / "dst",
                        {.deleteExtras = true, .start = c.start, .maxDeletions = c.maxDeletions});
        const bool withheld = !c.refusal.empty();
        EXPECT_EQ(result.status, withheld ? SyncStatus::failed : SyncStatus::success);
        EXPECT_EQ(result.filesDeleted, withheld ? 0 : c.inDestination - c.inSource);
        if (withheld) {
            EXPECT_EQ(result.errorMessage,
                      c.refusal + " in the destination: the source looks incomplete. Preview, "
                                  "then sync by hand if this is right.");
            EXPECT_EQ(std::ssize(test::folderNames(folders / "dst")),
                      c.inDestination + (c.inSource > 0 ? 1 : 0))
                << "the copies are made";
        }
    }
}

} // namespace
} // namespace quillfen
