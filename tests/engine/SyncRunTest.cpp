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

TEST_F(SyncRunTest, FirstRunCopiesEverythingAndASecondRunNothing) {
    const auto script = root.write("src/a.sh", "aaa");
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
    EXPECT_EQ(recorder.lines.size(), 3u);
    const auto& reports = recorder.progress;
    ASSERT_GE(reports.size(), 3u);
    EXPECT_EQ(reports[0], SyncProgress{.phase = Phase::scanning});
    EXPECT_EQ(reports[1],
              (SyncProgress{.phase = Phase::syncing, .totalFiles = 3, .totalBytes = 5}));
    EXPECT_EQ(reports.back().phase, Phase::done);
    EXPECT_EQ(reports.back().copiedFiles, 3);
    EXPECT_EQ(reports.back().copiedBytes, 5);

    recorder.lines.clear();
    const auto again = run();
    EXPECT_EQ(again.filesProcessed, 3);
    EXPECT_EQ(again.filesCopied + again.bytesTransferred, 0);
    EXPECT_TRUE(recorder.lines.empty());
}

TEST_F(SyncRunTest, ManyFilesAreToldInListOrderCopiedAsChangedAndStoppedWithoutAGap) {
    // Enough files to be examined and copied on two threads.
    for (int i = 0; i < 1200; ++i)
        root.write("src/d" + std::to_string(i % 30) + "/f" + std::to_string(i), std::to_string(i));
    root.write("dst/d3/f3/in-the-way", "e");
    const auto order = engine.scanFiles(root / "src", {}).files;
    run({.deleteExtras = true});
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

    test::writeFile(root / "src/d1/f1", "longer content");
    test::setModified(root / "src/d2/f2", 2'000'000'000);
    std::filesystem::remove(root / "dst/d4/f4");
    std::filesystem::remove_all(root / "dst/d6");
    recorder.lines.clear();
    recorder.progress.clear();
    auto result = run();
    EXPECT_EQ(result.filesProcessed, 1200);
    EXPECT_EQ(result.filesCopied, 3 + 40); // d6 held every thirtieth file
    for (const auto* path : {"d1/f1", "d2/f2", "d4/f4", "d6/f1176"})
        EXPECT_TRUE(recorder.logged("Copied: " + std::string(path))) << path;
    EXPECT_EQ(readFile(root / "dst/d1/f1"), "longer content");
    EXPECT_EQ(recorder.progress[1].totalBytes, recorder.progress.back().processedBytes);

    std::filesystem::remove_all(root / "dst");
    std::stop_source stop;
    engine.onProgress = [&](const SyncProgress& progress) {
        if (progress.processedFiles == 600)
            stop.request_stop();
    };
    result = run({}, stop.get_token());
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
    SyncOptions options{.excludePatterns = {".DS_Store", "node_modules"}};

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
        return test::errorOf([&] { run(); });
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

TEST_F(SyncRunTest, CancellingEndsThePhaseUnderWayAndSkipsTheLaterOnes) {
    // Copies come first, then mirror deletions, then verification.
    struct Case {
        std::string stopAt;
        int copied, deleted, verificationFailures;
    };
    const Case cases[] = {
        {"Copied: ", 1, 0, 0}, {"Deleted: ", 4, 1, 0}, {"Verify failed: ", 4, 4, 1}};
    for (int i = 0; i < 4; ++i)
        root.write("src/f" + std::to_string(i), "x");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stopAt);
        std::filesystem::remove_all(root / "dst");
        for (int i = 0; i < 4; ++i)
            root.write("dst/extra" + std::to_string(i), "e");
        std::stop_source stop;
        engine.onLog = [&](const std::string& line) {
            if (line.starts_with("Copied: ")) // each copy is damaged once it is written
                test::writeFile(root / "dst" / line.substr(8), "X");
            if (line.starts_with(c.stopAt))
                stop.request_stop();
        };
        recorder.progress.clear();
        const auto result = run({.deleteExtras = true, .verify = true}, stop.get_token());
        EXPECT_EQ(result.status, SyncStatus::cancelled);
        EXPECT_EQ(result.filesCopied, c.copied);
        EXPECT_EQ(result.filesDeleted, c.deleted);
        EXPECT_EQ(result.verificationFailures, c.verificationFailures);
        EXPECT_EQ(std::ranges::count(recorder.progress, Phase::verifying, &SyncProgress::phase) > 0,
                  c.verificationFailures > 0);
        EXPECT_EQ(recorder.progress.back().phase, Phase::done);
    }
}

} // namespace
} // namespace quillfen
