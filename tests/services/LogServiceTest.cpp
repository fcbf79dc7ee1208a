#include "services/LogService.h"

#include "LocalTime.h"
#include "TempDir.h"
#include "storage/StorageService.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using test::localTime;
using test::readFile;

const std::string kHeaderEnd = "----------------------------------------\n";

// A log service over a Logs folder in a temporary directory, with a clock
// the test sets and a history given as a list of names.
class LogServiceTest : public ::testing::Test {
protected:
    std::vector<std::string> listing() const { return test::folderNames(logs_); }

    void SetUp() override {
        test::useBerlinTime();
        clock_ = localTime(2026, 3, 1, 14, 5, 9);
        fs::create_directories(logs_);
    }

    test::TempDir temp_;
    fs::path logs_ = temp_ / "Logs";
    std::vector<std::string> liveNames_;
    Date clock_;
    LogService service_{[this] { return logs_; }, [this] { return liveNames_; },
                        [this] {
                            return clock_;
                        }};
    const Uuid id_ = *Uuid::parse("E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
};

TEST_F(LogServiceTest, WritesHeaderLinesAndFooterExactlyReplacingAnyEarlierFile) {
    const auto stale = temp_.write("Logs/E621E1F8-C36C-495A-93FC-0C247A3E6E5F.log", "old\n");
    service_.writeLine("unfinished run", service_.openLog(id_, RunMode::preview, "/c", "/d"));
    const auto location = service_.openLog(id_, RunMode::sync, "/home/me/caf\xE9", "/media/Backup");
    EXPECT_EQ(location, stale);
    clock_ = localTime(2026, 3, 1, 14, 5, 10);
    service_.writeLine("Copied: a/\xFF\xFE.txt", location);
    clock_ = localTime(2026, 3, 1, 14, 5, 11);
    service_.writeLine("Failed: c.txt — Cannot write: /media/Backup/c.txt\nsecond line", location);
    clock_ = localTime(2026, 3, 1, 15, 7, 15);
    service_.closeLog({.filesProcessed = 40,
                       .filesCopied = 12,
                       .filesDeleted = 3,
                       .bytesTransferred = 1234567,
                       .duration = 3725.9},
                      location);

    EXPECT_EQ(readFile(location), "Quillfen Log\n"
                                  "Started:     2026-03-01 14:05:09\n"
                                  "Mode:        Sync\n"
                                  "Source:      /home/me/caf\xE9\n"
                                  "Destination: /media/Backup\n"
                                  "----------------------------------------\n"
                                  "[2026-03-01 14:05:10] Copied: a/\xFF\xFE.txt\n"
                                  "[2026-03-01 14:05:11] Failed: c.txt — Cannot write: "
                                  "/media/Backup/c.txt\nsecond line\n"
                                  "----------------------------------------\n"
                                  "Status:      Success\n"
                                  "Files:       12 copied, 3 deleted, 40 processed\n"
                                  "Transferred: 1.2 MB\n"
                                  "Duration:    62m 5s\n"
                                  "Finished:    2026-03-01 15:07:15");
    EXPECT_EQ(listing(), std::vector<std::string>{stale.filename().string()});
}

TEST_F(LogServiceTest, EndedUnopenedOrUnwritableLogsTakeNoMore) {
    // A preview without lines: two separators, then one footer and nothing after it.
    const auto preview = service_.openLog(id_, RunMode::preview, "/a", "/b");
    service_.closeLog({.status = SyncStatus::failed, .duration = 59.9, .failedCount = 1}, preview);
    service_.closeLog({.status = SyncStatus::cancelled}, preview);
    service_.writeLine("late", preview);
    EXPECT_TRUE(readFile(preview).ends_with("Mode:        Preview (dry run)\n"
                                            "Source:      /a\n"
                                            "Destination: /b\n" +
                                            kHeaderEnd + kHeaderEnd +
                                            "Status:      Failed\n"
                                            "Files:       0 copied, 0 deleted, 0 processed\n"
                                            "Failed:      1 files\n"
                                            "Transferred: 0 bytes\n"
                                            "Duration:    59s\n"
                                            "Finished:    2026-03-01 14:05:09"))
        << readFile(preview);

    // An abandoned log keeps its lines and gets no footer.
    const auto location = service_.openLog(Uuid::random(), RunMode::sync, "/a", "/b");
    service_.writeLine("one", location);
    service_.abandonLog(location);
    service_.writeLine("two", location);
    service_.closeLog(SyncResult{}, location);
    EXPECT_TRUE(readFile(location).ends_with(kHeaderEnd + "[2026-03-01 14:05:09] one\n"));

    const auto never = logs_ / "never.log";
    service_.writeLine("line", never);
    service_.closeLog(SyncResult{}, never);
    EXPECT_FALSE(fs::exists(never));

    // A file where the Logs folder should be: the location is still given
    // and everything after it quietly does nothing.
    logs_ = temp_.write("NotAFolder", "x");
    const auto blocked = service_.openLog(id_, RunMode::sync, "/a", "/b");
    EXPECT_EQ(blocked, logs_ / (id_.toString() + ".log"));
    service_.writeLine("line", blocked);
    service_.closeLog(SyncResult{}, blocked);
    EXPECT_EQ(readFile(logs_), "x");
}

TEST_F(LogServiceTest, LinesFromOtherThreadsArriveWhole) {
    const auto location = service_.openLog(id_, RunMode::sync, "/a", "/b");
    const std::string text(200, 'x');
    std::string expected = kHeaderEnd;
    {
        std::vector<std::jthread> writers;
        for (int thread = 0; thread < 4; ++thread)
            writers.emplace_back([&] {
                for (int i = 0; i < 500; ++i)
                    service_.writeLine(text, location);
            });
        for (int i = 0; i < 4 * 500; ++i)
            expected += "[2026-03-01 14:05:09] " + text + "\n";
    }
    service_.closeLog(SyncResult{}, location);
    EXPECT_NE(readFile(location).find(expected + kHeaderEnd), std::string::npos);
}

TEST_F(LogServiceTest, RemovesOrphansButKeepsLiveAndOpenLogs) {
    const fs::path outside = temp_.write("Outside/keep.txt", "precious").parent_path();
    temp_.write("Logs/live.log", "live");
    temp_.write("Logs/.stray", "stray");
    temp_.write("Logs/Folder/inner/deep.log", "deep");
    fs::create_directory_symlink(outside, logs_ / "link");
    liveNames_ = {"live.log", "not-there.log"};
    const auto open = service_.openLog(id_, RunMode::sync, "/a", "/b");

    service_.removeOrphanedLogs();
    EXPECT_EQ(listing(), (std::vector<std::string>{open.filename().string(), "live.log"}));
    EXPECT_EQ(readFile(outside / "keep.txt"), "precious");
    service_.writeLine("still here", open);
    EXPECT_NE(readFile(open).find("still here"), std::string::npos);

    // Once closed, and with the history cleared, it goes too.
    service_.closeLog(SyncResult{}, open);
    liveNames_.clear();
    service_.removeOrphanedLogs();
    EXPECT_TRUE(listing().empty());

    logs_ = temp_ / "Missing"; // no error
    service_.removeOrphanedLogs();
    EXPECT_FALSE(fs::exists(logs_));
}

TEST(LogServiceOverStoreTest, UsesTheStoresLogsFolderAndHistory) {
    test::TempDir container;
    StorageService storage(container.path());
    LogService service(storage);
    HistoryEntry kept;
    const auto keptLog = service.openLog(kept.id, RunMode::sync, "/a", "/b");
    EXPECT_EQ(keptLog, container / "Logs" / (kept.id.toString() + ".log"));
    service.closeLog(SyncResult{}, keptLog);
    kept.logFileName = keptLog.filename().string();
    storage.addHistoryEntry(kept);
    const auto orphan = service.openLog(Uuid::random(), RunMode::sync, "/a", "/b");
    service.closeLog(SyncResult{}, orphan);

    service.removeOrphanedLogs();
    EXPECT_TRUE(fs::exists(keptLog));
    EXPECT_FALSE(fs::exists(orphan));
}

} // namespace
} // namespace quillfen
