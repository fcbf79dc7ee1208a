#include "EngineTestSupport.h"
#include "TempDir.h"
#include "engine/SyncError.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace quillfen {
namespace {

using Phase = SyncProgress::Phase;
using test::readFile;

class SyncRunTest : public test::EngineTest {};

TEST_F(SyncRunTest, FirstRunCopiesEverythingInOrderAndASecondRunNothing) {
    const auto script = root.write("src/a.sh", "aaa");
    ::chmod(script.c_str(), 0751);
    test::setModified(script, 1'600'000'000, 123'456'789);
    root.write("src/sub/b.txt", "bb");
    root.write("src/sub/deeper/c.txt", "");

    const auto result = run();
    EXPECT_EQ(result.status, SyncStatus::success);
    EXPECT_EQ(result.filesProcessed, 3);
    EXPECT_EQ(result.filesCopied, 3);
    EXPECT_EQ(result.bytesTransferred, 5);
    EXPECT_EQ(result.failedCount, 0);
    EXPECT_EQ(readFile(root / "dst/sub/b.txt"), "bb");
    EXPECT_TRUE(std::filesystem::is_regular_file(root / "dst/sub/deeper/c.txt"));
    EXPECT_TRUE(test::temporaryFilesIn(root / "dst").empty());
    const auto copied = test::modifiedOf(root / "dst/a.sh");
    EXPECT_EQ(copied.tv_sec, 1'600'000'000);
    EXPECT_EQ(copied.tv_nsec, 123'456'789);
    EXPECT_EQ(std::filesystem::status(root / "dst/a.sh").permissions(),
              static_cast<std::filesystem::perms>(0751));

    const auto& reports = recorder.progress;
    ASSERT_GE(reports.size(), 3u);
    EXPECT_EQ(reports[0], SyncProgress{.phase = Phase::scanning});
    EXPECT_EQ(reports[1],
              (SyncProgress{.phase = Phase::syncing, .totalFiles = 3, .totalBytes = 5}));
    // Counts only grow, and each file is named while it is under way.
    for (std::size_t i = 1; i < reports.size(); ++i)
        EXPECT_GE(reports[i].processedFiles, reports[i - 1].processedFiles);
    ASSERT_EQ(recorder.lines.size(), 3u);
    for (const auto& line : recorder.lines)
        EXPECT_TRUE(std::ranges::any_of(reports, [&](const SyncProgress& report) {
            return "Copied: " + report.currentFile == line;
        })) << line;
    EXPECT_EQ(reports.back().phase, Phase::done);
    EXPECT_EQ(reports.back().copiedFiles, 3);
    EXPECT_EQ(reports.back().copiedBytes, 5);

    recorder.lines.clear();
    const auto again = run();
    EXPECT_EQ(again.filesProcessed, 3);
    EXPECT_EQ(again.filesCopied + again.bytesTransferred, 0);
    EXPECT_TRUE(recorder.lines.empty());
}

TEST_F(SyncRunTest, ManyFilesCopyExactlyWhatChanged) {
    // Enough files for the attributes to be read on two threads.
    for (int i = 0; i < 700; ++i)
        root.write("src/d" + std::to_string(i % 7) + "/f" + std::to_string(i), std::to_string(i));
    EXPECT_EQ(run().filesCopied, 700);

    test::writeFile(root / "src/d1/f1", "longer content");
    test::setModified(root / "src/d2/f2", 2'000'000'000);
    std::filesystem::remove(root / "dst/d3/f3");
    std::filesystem::remove_all(root / "dst/d6");
    recorder.lines.clear();
    recorder.progress.clear();
    const auto result = run();
    EXPECT_EQ(result.filesProcessed, 700);
    EXPECT_EQ(result.filesCopied, 3 + 100); // d6 held every seventh file
    for (const auto* path : {"d1/f1", "d2/f2", "d3/f3", "d6/f699"})
        EXPECT_TRUE(recorder.logged("Copied: " + std::string(path))) << path;
    EXPECT_EQ(readFile(root / "dst/d1/f1"), "longer content");
    EXPECT_EQ(recorder.progress[1].totalBytes, recorder.progress.back().processedBytes);
}

TEST_F(SyncRunTest, ManyFilesAreToldInListOrderAndAStopLeavesNoGap) {
    // Enough files to be copied on two threads.
    for (int i = 0; i < 1200; ++i)
        root.write("src/d" + std::to_string(i % 30) + "/f" + std::to_string(i), "x");
    root.write("dst/d3/f3/in-the-way", "e");
    const auto order = engine.scanFiles(root / "src", {}).files;
    SyncOptions mirror;
    mirror.deleteExtras = true;
    run(mirror);
    std::vector<std::string> told;
    for (std::size_t report = 2; report + 1 < recorder.progress.size(); report += 2) {
        EXPECT_EQ(recorder.progress[report].processedFiles, std::ssize(told));
        EXPECT_EQ(recorder.progress[report + 1].currentFile, recorder.progress[report].currentFile);
        told.push_back(recorder.progress[report].currentFile);
    }
    EXPECT_EQ(told, order);
    const auto copied = std::find(recorder.lines.begin(), recorder.lines.end(), "Copied: d3/f3");
    ASSERT_NE(copied, recorder.lines.begin());
    EXPECT_EQ(*std::prev(copied), "Deleted: d3/f3/in-the-way") << "told with its file";

    std::filesystem::remove_all(root / "dst");
    std::stop_source stop;
    engine.onProgress = [&](const SyncProgress& progress) {
        if (progress.processedFiles == 600)
            stop.request_stop();
    };
    const auto result = run({}, stop.get_token());
    EXPECT_EQ(result.status, SyncStatus::cancelled);
    EXPECT_GE(result.filesCopied, 600);
    EXPECT_LT(result.filesCopied, 1200);
    for (std::size_t file = 0; file < order.size(); ++file)
        EXPECT_EQ(std::filesystem::exists(root / "dst" / order[file]),
                  static_cast<std::int64_t>(file) < result.filesCopied)
            << order[file];
}

TEST_F(SyncRunTest, ExclusionsAreLoggedOnceAndMirrorDeletesFilesOnly) {
    root.write("src/a.txt", "a");
    root.write("src/.DS_Store", "x");
    root.write("src/node_modules/x/y.js", "y");
    root.write("dst/a.txt", "a");
    root.write("dst/old/gone.txt", "g");
    root.write("dst/.DS_Store", "x");
    SyncOptions options{.excludePatterns = {".DS_Store", "node_modules", "node_*"}};

    auto result = run(options);
    EXPECT_EQ(result.filesExcluded, 2);
    EXPECT_EQ(result.filesDeleted, 0);
    EXPECT_TRUE(recorder.logged("Excluded: node_modules"));
    EXPECT_FALSE(std::filesystem::exists(root / "dst/node_modules"));
    EXPECT_TRUE(std::filesystem::exists(root / "dst/old/gone.txt"));

    options.deleteExtras = true;
    result = run(options);
    EXPECT_EQ(result.filesDeleted, 2);
    EXPECT_EQ(recorder.progress.back().deletedFiles, 2);
    EXPECT_TRUE(recorder.logged("Deleted: old/gone.txt"));
    EXPECT_TRUE(recorder.logged("Deleted: .DS_Store")) << "destination scans apply no patterns";
    EXPECT_TRUE(std::filesystem::is_directory(root / "dst/old")) << "folders stay";
    EXPECT_EQ(readFile(root / "dst/a.txt"), "a");
}

TEST_F(SyncRunTest, PreserveRootCopiesIntoAFolderNamedAfterTheSource) {
    root.write("src/a.txt", "a");
    root.write("dst/src/extra.txt", "e");
    root.write("dst/top.txt", "t");
    const auto result = engine.sync(root / "src/", root / "dst",
                                    {.deleteExtras = true, .preserveRoot = true, .verify = true});
    EXPECT_EQ(readFile(root / "dst/src/a.txt"), "a");
    EXPECT_FALSE(std::filesystem::exists(root / "dst/src/extra.txt"));
    EXPECT_TRUE(std::filesystem::exists(root / "dst/top.txt"));
    EXPECT_EQ(result.filesDeleted + result.verificationFailures, 1);
}

TEST_F(SyncRunTest, RunFailuresHappenBeforeAnythingIsWritten) {
    const auto failure = [&] {
        try {
            run();
        } catch (const SyncError& error) {
            return std::string(error.what());
        }
        return std::string("no failure");
    };
    EXPECT_EQ(failure(), "Source not found: " + (root / "src").string());
    EXPECT_TRUE(recorder.progress.empty());
    root.write("src", "a file, not a folder");
    EXPECT_EQ(failure(), "Not a folder: " + (root / "src").string());
    EXPECT_FALSE(std::filesystem::exists(root / "dst"));

    std::filesystem::remove(root / "src");
    root.write("src/a.txt", "a");
    root.write("dst", "a file where the destination folder goes");
    EXPECT_EQ(failure(), "Not a folder: " + (root / "dst").string());
    EXPECT_THROW(engine.preview(root / "src", root / "dst", {}), SyncError);
}

TEST_F(SyncRunTest, AFileThatFailsIsCountedAndTheOthersAreCopied) {
    root.write("src/blocked/a.txt", "a");
    root.write("src/ok.txt", "ok");
    root.write("dst/blocked", "a file where a folder goes");
    const auto result = run();
    EXPECT_EQ(result.failedCount, 1);
    EXPECT_EQ(result.filesCopied, 1);
    EXPECT_EQ(result.filesProcessed, 2);
    EXPECT_TRUE(recorder.logged("Error: blocked/a.txt — " + (root / "dst/blocked").string() +
                                ": Not a directory"));
    EXPECT_EQ(readFile(root / "dst/ok.txt"), "ok");
}

TEST_F(SyncRunTest, CancellingStopsBeforeTheNextFileOrDeletionAndSkipsLaterPhases) {
    for (int i = 0; i < 4; ++i) {
        root.write("src/f" + std::to_string(i), "x");
        root.write("dst/extra" + std::to_string(i), "e");
    }
    std::stop_source stop;
    engine.onProgress = [&](const SyncProgress& progress) {
        recorder.progress.push_back(progress);
        if (progress.processedFiles == 2)
            stop.request_stop();
    };
    const SyncOptions options{.deleteExtras = true, .verify = true};
    auto result = run(options, stop.get_token());
    EXPECT_EQ(result.status, SyncStatus::cancelled);
    EXPECT_EQ(result.filesProcessed, 2);
    EXPECT_EQ(result.filesDeleted, 0);
    for (const auto& progress : recorder.progress)
        EXPECT_NE(progress.phase, Phase::verifying);
    EXPECT_EQ(recorder.progress.back().phase, Phase::done);

    std::stop_source deleting;
    engine.onProgress = {};
    engine.onLog = [&](const std::string& line) {
        if (line.starts_with("Deleted: "))
            deleting.request_stop();
    };
    result = run(options, deleting.get_token());
    EXPECT_EQ(result.status, SyncStatus::cancelled);
    EXPECT_EQ(result.filesCopied, 2);
    EXPECT_EQ(result.filesDeleted, 1);
}

} // namespace
} // namespace quillfen
