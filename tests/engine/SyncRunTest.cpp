#include "EngineTestSupport.h"

#include <algorithm>

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using Phase = SyncProgress::Phase;
using test::readFile;

using Lines = std::vector<std::string>;

class SyncRunTest : public test::EngineTest {};
class PreviewTest : public test::EngineTest {};

TEST_F(SyncRunTest, FirstRunCopiesAllButTheExcludedAndASecondOnlyMirrorsDeletions) {
    const auto script = root.write("src/a.sh", "aaa");
    test::setModified(script, 1'600'000'000, 123'456'789);
    root.write("src/sub/b.txt", "bb");
    root.write("src/sub/deeper/c.txt", "");
    root.write("src/.DS_Store", "x");
    root.write("src/node_modules/x/y.js", "y");
    root.write("src/build", "b"); // a file, which a folder-only pattern spares
    root.write("src/sub/build/out.o", "o");
    root.write("dst/old/gone.txt", "g");
    root.write("dst/.DS_Store", "x");
    // Two patterns match node_modules: it is told of once, and not entered.
    SyncOptions options{.excludePatterns = {".DS_Store", "node_modules", "node_*", "build/"}};

    const auto result = run(options);
    EXPECT_EQ(result.status, SyncStatus::success);
    EXPECT_EQ(result.filesProcessed, 4);
    EXPECT_EQ(result.filesCopied, 4);
    EXPECT_EQ(result.bytesTransferred, 6);
    EXPECT_EQ(result.filesExcluded, 3);
    EXPECT_EQ(result.failedCount + result.filesDeleted, 0);
    EXPECT_EQ(readFile(root / "dst/sub/b.txt"), "bb");
    EXPECT_TRUE(fs::is_regular_file(root / "dst/sub/deeper/c.txt"));
    EXPECT_FALSE(fs::exists(root / "dst/node_modules"));
    EXPECT_EQ(test::modifiedOf(root / "dst/a.sh").tv_sec, 1'600'000'000);
    EXPECT_EQ(test::modifiedOf(root / "dst/a.sh").tv_nsec, 123'456'789);
    EXPECT_EQ(readFile(root / "dst/build"), "b");
    for (const auto* excluded : {".DS_Store", "node_modules", "sub/build"})
        EXPECT_TRUE(recorder.logged("Excluded: " + std::string(excluded))) << excluded;
    EXPECT_EQ(recorder.lines.size(), 7u);
    const auto& reports = recorder.progress;
    ASSERT_GE(reports.size(), 3u);
    EXPECT_EQ(reports[0], SyncProgress{.phase = Phase::scanning});
    EXPECT_EQ(reports[1],
              (SyncProgress{.phase = Phase::syncing, .totalFiles = 4, .totalBytes = 6}));
    EXPECT_EQ(reports.back().phase, Phase::done);
    EXPECT_EQ(reports.back().copiedFiles, 4);
    EXPECT_EQ(reports.back().copiedBytes, 6);

    recorder.lines.clear();
    options.deleteExtras = true;
    const auto again = run(options);
    EXPECT_EQ(again.filesProcessed, 4);
    EXPECT_EQ(again.filesCopied + again.bytesTransferred, 0);
    EXPECT_EQ(again.filesDeleted, 2);
    EXPECT_EQ(recorder.progress.back().deletedFiles, 2);
    EXPECT_EQ(recorder.lines.size(), 5u);
    EXPECT_TRUE(recorder.logged("Deleted: old/gone.txt"));
    EXPECT_TRUE(recorder.logged("Deleted: .DS_Store")) << "destination scans apply no patterns";
    EXPECT_TRUE(fs::is_directory(root / "dst/old")) << "folders stay";
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
    fs::remove(root / "dst/d4/f4");
    fs::remove_all(root / "dst/d6");
    recorder.lines.clear();
    recorder.progress.clear();
    auto result = run();
    EXPECT_EQ(result.filesProcessed, 1200);
    EXPECT_EQ(result.filesCopied, 3 + 40); // d6 held every thirtieth file
    for (const auto* path : {"d1/f1", "d2/f2", "d4/f4", "d6/f1176"})
        EXPECT_TRUE(recorder.logged("Copied: " + std::string(path))) << path;
    EXPECT_EQ(recorder.progress[1].totalBytes, recorder.progress.back().processedBytes);

    fs::remove_all(root / "dst");
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
        EXPECT_EQ(fs::exists(root / "dst" / order[file]),
                  static_cast<std::int64_t>(file) < result.filesCopied)
            << order[file];
}

TEST_F(SyncRunTest, PreserveRootCopiesIntoAFolderNamedAfterTheSource) {
    root.write("src/a.txt", "a");
    root.write("dst/src/extra.txt", "e");
    root.write("dst/top.txt", "t");
    const auto result = engine.sync(root / "src/", root / "dst",
                                    {.deleteExtras = true, .preserveRoot = true, .verify = true});
    EXPECT_EQ(readFile(root / "dst/src/a.txt"), "a");
    EXPECT_FALSE(fs::exists(root / "dst/src/extra.txt"));
    EXPECT_TRUE(fs::exists(root / "dst/top.txt"));
    EXPECT_EQ(result.filesDeleted + result.verificationFailures, 1);
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
        fs::remove_all(root / "dst");
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

TEST_F(PreviewTest, PlanListsCopiesInSourceOrderThenDeletionsAndWritesNothing) {
    root.write("src/same.txt", "same");
    root.write("src/changed.txt", "new content");
    root.write("src/sub/new.txt", "12345");
    root.write("src/folder-in-the-way", "x");
    root.write("src/skip.log", "excluded");
    root.write("dst/same.txt", "same");
    root.write("dst/changed.txt", "old");
    root.write("dst/folder-in-the-way/inner.txt", "i");
    root.write("dst/gone/deep/file.txt", "g");
    test::setModified(root / "src/same.txt", 1'600'000'000);
    test::setModified(root / "dst/same.txt", 1'600'000'000);

    SyncOptions options{.excludePatterns = {"*.log"}};
    EXPECT_EQ(test::deletionsOf(engine.preview(root / "src", root / "dst", options)), Lines{});
    options.deleteExtras = true;
    const auto items = engine.preview(root / "src", root / "dst", options);
    // Copies first, then deletions, each kind in the order its scan met the files.
    Lines expected;
    for (const auto& path : engine.scanFiles(root / "src", {"*.log"}).files)
        if (path != "same.txt")
            expected.push_back("copy " + path);
    for (const auto& path : engine.scanFiles(root / "dst", {}).files)
        if (path != "same.txt" && path != "changed.txt")
            expected.push_back("delete " + path);
    EXPECT_EQ(test::planOf(items), expected);
    EXPECT_EQ(previewResult(items).bytesTransferred, 11 + 1 + 5) << "what is copied, by size";
    EXPECT_TRUE(recorder.progress.empty() && recorder.lines.empty()) << "a preview tells nothing";
    EXPECT_EQ(readFile(root / "dst/changed.txt"), "old") << "a preview writes nothing";
}

TEST_F(PreviewTest, MirrorModeMatchesEachFileByItsFolderAndItsNameAsBytes) {
    for (const auto* path : {"a/x", "b/y", "\xff\xfe/\x01n", "c/d/f", "c/d-", "e"})
        root.write("src/" + std::string(path), "s");
    Lines extras = {
        "a/y",            // a name the source has, in another folder
        "b/x",            // likewise
        "a-/x",           // a folder named like one of the source's, and a byte more
        "\xff\xfe/\x01o", // one byte off
        "\xfe\xff/\x01n", // in a folder of the same bytes in another order
        "c/d/f/g",        // below a name that is a file in the source
        "c/d-/h",         // likewise
        "e/x",            // likewise
    };
    for (const auto& path : {"a/x", "\xff\xfe/\x01n"})
        root.write("dst/" + std::string(path), "s");
    for (const auto& path : extras)
        root.write("dst/" + path, "d");
    std::ranges::sort(extras);
    EXPECT_EQ(test::deletionsOf(engine.preview(root / "src", root / "dst", {.deleteExtras = true})),
              extras);
}

TEST_F(PreviewTest, MissingOrEmptyFoldersOnEitherSide) {
    constexpr std::uintmax_t kLarge = (std::uintmax_t(5) << 30) + 3; // sparse: no room taken
    fs::resize_file(root.write("src/a", "a"), kLarge);
    root.write("dst/b/c", "c");
    fs::create_directories(root / "empty");
    const SyncOptions options{.deleteExtras = true};
    const auto plan = SyncEngine().preview(root / "src", root / "new/deeper", options);
    EXPECT_EQ(test::planOf(plan), Lines{"copy a"});
    EXPECT_EQ(plan.at(0).size, static_cast<std::int64_t>(kLarge));
    EXPECT_FALSE(fs::exists(root / "new")) << "the destination is not created";
    EXPECT_EQ(test::planOf(SyncEngine().preview(root / "empty", root / "dst", options)),
              Lines{"delete b/c"});
}

} // namespace
} // namespace quillfen
