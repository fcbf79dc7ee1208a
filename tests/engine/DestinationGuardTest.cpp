#include "EngineTestSupport.h"
#include "TempDir.h"
#include "engine/FileDescriptor.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>

namespace quillfen {
namespace {

namespace fs = std::filesystem;

class DestinationGuardTest : public test::EngineTest {};

TEST_F(DestinationGuardTest, OneRunAtATimeWritesAndRemovesWhatKilledRunsLeft) {
    root.write("src/a.txt", "a");
    root.write("src/sub/b.txt", "b");
    const auto dst = root / "dst";
    const std::vector<std::string> leftovers = {".quillfen-abcd1234.tmp",
                                                "sub/.quillfen-0z9y8x7w.tmp"};
    const std::vector<std::string> lookalikes = {".quillfen-notes.txt", ".quillfen-ABCD1234.tmp",
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
        EXPECT_EQ(test::deletionsOf(engine.preview(root / "src", dst, mirror)),
                  (std::vector<std::string>{".quillfen-ABCD1234.tmp", ".quillfen-notes.txt",
                                            "sub/.quillfen-abcd12345.tmp"}));
    }
    auto result = run();
    EXPECT_EQ(result.filesCopied, 2);
    EXPECT_EQ(recorder.lines.size(), 2u) << "nothing said of the leftovers";
    for (const auto& path : leftovers)
        EXPECT_FALSE(fs::exists(dst / path)) << path;
    for (const auto& path : lookalikes)
        EXPECT_EQ(test::readFile(dst / path), "mine") << path;

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
    const auto unattended = RunStart::unattended;
    const auto byHand = RunStart::byHand;
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
