#include "services/LogService.h"

#include "RecordBuilders.h"
#include "TempDir.h"
#include "storage/StorageService.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using test::at;
using test::readFile;

const std::string kRule = "----------------------------------------\n";

// A log service over a Logs folder in a temporary directory, with a clock
// the test sets and a history given as a list of names.
class LogServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
        fs::create_directories(logs_);
    }
    std::vector<std::string> listing() const { return test::folderNames(logs_); }

    test::TempDir temp_;
    fs::path logs_ = temp_ / "Logs";
    std::vector<std::string> liveNames_;
    Date clock_ = at("2026-03-01T14:05:09Z");
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
    service_.writeLine("Copied: a/\xFF\xFE.txt", location);
    clock_ = at("2026-03-01T14:05:11Z");
    service_.writeLine("Failed: c.txt — Cannot write: /media/Backup/c.txt\nsecond line", location);
    clock_ = at("2026-03-01T15:07:15Z");
    const SyncResult done{
        .filesCopied = 12, .filesDeleted = 3, .bytesTransferred = 1234567, .duration = 3725.9};
    service_.closeLog(done, location);
    EXPECT_EQ(readFile(location), "Quillfen Log\n"
                                  "Started:     2026-03-01 14:05:09\n"
                                  "Mode:        Sync\n"
                                  "Source:      /home/me/caf\xE9\n"
                                  "Destination: /media/Backup\n" +
                                      kRule +
                                      "[2026-03-01 14:05:09] Copied: a/\xFF\xFE.txt\n"
                                      "[2026-03-01 14:05:11] Failed: c.txt — Cannot write: "
                                      "/media/Backup/c.txt\nsecond line\n" +
                                      kRule +
                                      "Status:      Success\n"
                                      "Files:       12 copied, 3 deleted, 0 processed\n"
                                      "Transferred: 1.2 MB\n"
                                      "Duration:    62m 5s\n"
                                      "Finished:    2026-03-01 15:07:15");
    EXPECT_EQ(listing(), std::vector<std::string>{stale.filename().string()});
}

TEST_F(LogServiceTest, EndedAbandonedUnopenedOrUnwritableLogsTakeNoMore) {
    const auto preview = service_.openLog(id_, RunMode::preview, "/a", "/b");
    service_.closeLog({.status = SyncStatus::failed, .duration = 59.9, .failedCount = 1}, preview);
    service_.closeLog({.status = SyncStatus::cancelled}, preview);
    service_.writeLine("late", preview);
    EXPECT_TRUE(readFile(preview).ends_with("Mode:        Preview (dry run)\n"
                                            "Source:      /a\nDestination: /b\n" +
                                            kRule + kRule +
                                            "Status:      Failed\n"
                                            "Files:       0 copied, 0 deleted, 0 processed\n"
                                            "Failed:      1 files\n"
                                            "Transferred: 0 bytes\n"
                                            "Duration:    59s\n"
                                            "Finished:    2026-03-01 14:05:09"))
        << readFile(preview);

    // An abandoned log keeps its lines and gets no footer.
    const auto abandoned = service_.openLog(Uuid::random(), RunMode::sync, "/a", "/b");
    service_.writeLine("one", abandoned);
    service_.abandonLog(abandoned);
    service_.writeLine("two", abandoned);
    service_.closeLog(SyncResult{}, abandoned);
    EXPECT_TRUE(readFile(abandoned).ends_with(kRule + "[2026-03-01 14:05:09] one\n"));

    // A file where the Logs folder should be: the location is still given,
    // and the log that is not open takes nothing.
    logs_ = temp_.write("NotAFolder", "x");
    const auto blocked = service_.openLog(id_, RunMode::sync, "/a", "/b");
    EXPECT_EQ(blocked, logs_ / (id_.toString() + ".log"));
    service_.writeLine("line", blocked);
    service_.closeLog(SyncResult{}, blocked);
    EXPECT_EQ(readFile(logs_), "x");
}

TEST_F(LogServiceTest, LinesFromOtherThreadsArriveWhole) {
    const auto location = service_.openLog(id_, RunMode::sync, "/a", "/b");
    std::string expected = kRule;
    for (std::vector<std::jthread> writers; writers.size() < 4;)
        writers.emplace_back([&] {
            for (int i = 0; i < 500; ++i)
                service_.writeLine(std::string(200, 'x'), location);
        });
    for (int i = 0; i < 4 * 500; ++i)
        expected += "[2026-03-01 14:05:09] " + std::string(200, 'x') + "\n";
    service_.closeLog(SyncResult{}, location);
    EXPECT_NE(readFile(location).find(expected + kRule), std::string::npos);
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
    kept.logFileName = keptLog.filename().string();
    storage.addHistoryEntry(kept);
    const auto orphan = service.openLog(Uuid::random(), RunMode::sync, "/a", "/b");
    service.closeLog(SyncResult{}, keptLog);
    service.closeLog(SyncResult{}, orphan);
    service.removeOrphanedLogs();
    EXPECT_EQ(test::folderNames(container / "Logs"), std::vector{*kept.logFileName});
}

} // namespace
} // namespace quillfen
