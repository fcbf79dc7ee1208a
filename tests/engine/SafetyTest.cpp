#include "EngineTestSupport.h"
#include "TempDir.h"
#include "engine/SyncError.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <thread>

namespace quillfen {
namespace {

class SafetyTest : public test::EngineTest {};

using test::readFile;

std::string overlapMessage(const std::filesystem::path& source,
                           const std::filesystem::path& destination) {
    try {
        SyncEngine().sync(source, destination, {});
    } catch (const SyncError& error) {
        EXPECT_EQ(error.kind(), SyncError::Kind::overlap);
        try {
            SyncEngine().preview(source, destination, {});
            ADD_FAILURE() << "the preview accepted what the run refused";
        } catch (const SyncError&) {
        }
        return error.what();
    }
    return "";
}

TEST_F(SafetyTest, OverlappingFoldersFailBeforeAnythingIsWritten) {
    root.write("src/a", "a");
    const auto src = root / "src";
    EXPECT_EQ(overlapMessage(src, src),
              "Source and destination overlap: " + src.string() + " and " + src.string());
    EXPECT_NE(overlapMessage(src, src / "inside/deeper"), "");
    EXPECT_FALSE(std::filesystem::exists(src / "inside")) << "not even the destination is made";
    EXPECT_NE(overlapMessage(src / "", root.path()), "");
    std::filesystem::create_directory_symlink(src, root / "link");
    EXPECT_NE(overlapMessage(root / "link", src), "");
    EXPECT_NE(overlapMessage(src, root / "link/new"), "");

    SyncOptions preserve;
    preserve.preserveRoot = true;
    EXPECT_THROW(SyncEngine().sync(src, root.path(), preserve), SyncError);
    EXPECT_NO_THROW(SyncEngine().sync(src, root / "srcx", {})) << "a shared prefix is no overlap";
}

TEST_F(SafetyTest, BindMountedDestinationInsideTheSourceIsRefused) {
    root.write("src/a", "a");
    std::filesystem::create_directories(root / "mnt");
    if (::mount((root / "src").c_str(), (root / "mnt").c_str(), nullptr, MS_BIND, nullptr) != 0)
        GTEST_SKIP() << "bind mounts are not available here";
    EXPECT_NE(overlapMessage(root / "src", root / "mnt/copy"), "");
    EXPECT_NE(overlapMessage(root / "mnt", root / "src"), "");
    ::umount((root / "mnt").c_str());
}

TEST_F(SafetyTest, LinksInsideTheDestinationAreNeverFollowed) {
    root.write("src/file.txt", "new");
    root.write("src/folder/inner.txt", "inner");
    const auto outsideFile = root.write("outside/target.txt", "precious");
    std::filesystem::create_directories(root / "dst");
    std::filesystem::create_symlink(outsideFile, root / "dst/file.txt");
    std::filesystem::create_directory_symlink(root / "outside", root / "dst/folder");

    const auto result = run();

    EXPECT_EQ(readFile(outsideFile), "precious");
    EXPECT_FALSE(std::filesystem::is_symlink(root / "dst/file.txt"));
    EXPECT_EQ(readFile(root / "dst/file.txt"), "new");
    EXPECT_FALSE(std::filesystem::exists(root / "outside/inner.txt"));
    EXPECT_EQ(result.failedCount, 1);
    EXPECT_TRUE(recorder.logged("Error: folder/inner.txt — " + (root / "dst/folder").string() +
                                ": Too many levels of symbolic links"));
}

TEST_F(SafetyTest, AFolderInTheWayIsReplacedOnlyByACompleteCopy) {
    root.write("src/name", "file content");
    root.write("dst/name/sub/x", "x");
    std::filesystem::create_directory_symlink(root / "outside", root / "dst/name/link");
    root.write("outside/keep", "k");
    const auto result = run();
    EXPECT_EQ(result.filesCopied, 1);
    EXPECT_EQ(readFile(root / "dst/name"), "file content");
    EXPECT_EQ(readFile(root / "outside/keep"), "k") << "the removal did not follow the link";
}

TEST_F(SafetyTest, AFailedReplacementKeepsTheOldFolderAndLeavesNoTemporaryFile) {
    root.write("src/name", "file content");
    root.write("dst/name/owned-by-root", "x");
    ::chmod((root / "dst/name").c_str(), 0755);
    EXPECT_EQ(test::runAsNobody({root / "src", root / "dst"},
                                [&] { return std::to_string(run().failedCount); }),
              "1");
    EXPECT_EQ(readFile(root / "dst/name/owned-by-root"), "x");
    EXPECT_TRUE(test::temporaryFilesIn(root / "dst").empty());
}

TEST_F(SafetyTest, ACancelledCopyKeepsTheOldFileAndLeavesNoTemporaryFile) {
    root.write("src/big", std::string(600'000, 'n'));
    root.write("dst/big", "old version");
    std::stop_source stop;
    SyncOptions options;
    options.bandwidthLimit = 64;
    std::jthread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        stop.request_stop();
    });
    const auto started = std::chrono::steady_clock::now();
    const auto result = run(options, stop.get_token());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3))
        << "the throttle's pause ends at once on cancel";
    EXPECT_EQ(result.status, SyncStatus::cancelled);
    EXPECT_EQ(result.failedCount, 1);
    EXPECT_EQ(result.filesCopied, 0);
    EXPECT_TRUE(recorder.logged("Error: big — Cancelled"));
    EXPECT_EQ(readFile(root / "dst/big"), "old version");
    EXPECT_TRUE(test::temporaryFilesIn(root / "dst").empty());
}

TEST_F(SafetyTest, AFileChangedWhileBeingCopiedIsPlacedButCopiedAgainNextTime) {
    const auto source = root.write("src/growing.log", std::string(300'000, 'a'));
    SyncOptions options;
    options.bandwidthLimit = 1024;
    options.verify = true;
    std::filesystem::create_directories(root / "dst");
    std::jthread writer([&] {
        // Append once the copy has begun, while the throttle holds it back.
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (test::temporaryFilesIn(root / "dst").empty() &&
               std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::ofstream(source, std::ios::app) << "more lines\n";
    });
    auto result = run(options);
    writer.join();
    EXPECT_EQ(result.failedCount, 1);
    EXPECT_EQ(result.filesCopied, 0);
    EXPECT_EQ(result.verificationFailures, 0);
    EXPECT_TRUE(recorder.logged("Error: growing.log — changed while being copied"));
    EXPECT_FALSE(std::filesystem::is_empty(root / "dst/growing.log"));

    result = run();
    EXPECT_EQ(result.filesCopied, 1);
    EXPECT_EQ(readFile(root / "dst/growing.log"), readFile(source));
}

TEST_F(SafetyTest, AnUnreadableSourceFolderFailsTheRunAndTouchesNothing) {
    root.write("src/a", "a");
    root.write("dst/keep", "k");
    ::chmod((root / "src").c_str(), 0700);
    EXPECT_EQ(test::runAsNobody({root / "dst"},
                                [&] {
                                    SyncOptions options;
                                    options.deleteExtras = true;
                                    try {
                                        run(options);
                                    } catch (const SyncError& error) {
                                        return error.kind() == SyncError::Kind::cannotRead
                                                   ? "refused"
                                                   : "wrong error";
                                    }
                                    return "ran";
                                }),
              "refused");
    EXPECT_TRUE(std::filesystem::exists(root / "dst/keep"));
}

TEST_F(SafetyTest, AnUnreadableSubfolderIsReportedAndItsCopyIsNotMirroredAway) {
    root.write("src/open/a", "a");
    root.write("src/locked/secret", "s");
    root.write("dst/locked/deeper/older", "o");
    root.write("dst/extra", "e");
    ::chmod((root / "src/locked").c_str(), 0700);
    for (const auto* folder : {"dst/locked", "dst/locked/deeper"})
        ::chmod((root / folder).c_str(), 0777);
    const auto lines = test::runAsNobody({root / "src", root / "dst"}, [&] {
        SyncOptions options;
        options.deleteExtras = true;
        std::string out;
        for (const auto& item : engine.preview(root / "src", root / "dst", options))
            out += toString(item.action) + ' ' + item.relativePath + '\n';
        const auto result = run(options);
        for (const auto& line : recorder.lines)
            out += line + '\n';
        return out + std::to_string(result.failedCount) + " failed";
    });
    const std::string error =
        "Error: locked — " + (root / "src/locked").string() + ": Permission denied\n";
    for (const std::string line : {"copy open/a\ndelete extra\n", "Deleted: extra\n", "1 failed"})
        EXPECT_NE(lines.find(line), std::string::npos) << lines;
    EXPECT_NE(lines.find(error), std::string::npos) << lines;
    EXPECT_EQ(lines.find("delete locked"), std::string::npos) << lines;
    EXPECT_TRUE(std::filesystem::exists(root / "dst/locked/deeper/older"));
    EXPECT_FALSE(std::filesystem::exists(root / "dst/extra"));
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

} // namespace
} // namespace quillfen
