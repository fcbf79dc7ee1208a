#include "services/LogService.h"

#include "LocalTime.h"
#include "TempDir.h"
#include "storage/StorageService.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

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
    LogServiceTest()
        : zone_("Europe/Berlin"), logs_(temp_ / "Logs"),
          service_([this] { return logs_; }, [this] { return liveNames_; },
                   [this] { return clock_; }) {
        fs::create_directories(logs_);
    }

    void setClock(int hour, int minute, int second) {
        clock_ = localTime(2026, 3, 1, hour, minute, second);
    }

    std::vector<std::string> listing() const {
        std::vector<std::string> names;
        for (const auto& item : fs::directory_iterator(logs_))
            names.push_back(item.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TimeZoneScope zone_;
    test::TempDir temp_;
    fs::path logs_;
    std::vector<std::string> liveNames_;
    Date clock_ = localTime(2026, 3, 1, 14, 5, 9);
    LogService service_;
    const Uuid id_ = *Uuid::parse("E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
};

TEST_F(LogServiceTest, WritesHeaderLinesAndFooterExactly) {
    const auto location = service_.openLog(id_, false, "/home/me/Source", "/media/Backup");
    EXPECT_EQ(location, logs_ / "E621E1F8-C36C-495A-93FC-0C247A3E6E5F.log");
    setClock(14, 5, 10);
    service_.writeLine("Copied: a/b.txt", location);
    setClock(14, 5, 11);
    service_.writeLine("Failed: c.txt — Cannot write: /media/Backup/c.txt\nsecond line", location);

    SyncResult result;
    result.filesCopied = 12;
    result.filesDeleted = 3;
    result.filesProcessed = 40;
    result.bytesTransferred = 1234567;
    result.duration = 3725.9;
    setClock(15, 7, 15);
    service_.closeLog(result, location);

    EXPECT_EQ(readFile(location), "Quillfen Log\n"
                                  "Started:     2026-03-01 14:05:09\n"
                                  "Mode:        Sync\n"
                                  "Source:      /home/me/Source\n"
                                  "Destination: /media/Backup\n"
                                  "----------------------------------------\n"
                                  "[2026-03-01 14:05:10] Copied: a/b.txt\n"
                                  "[2026-03-01 14:05:11] Failed: c.txt — Cannot write: "
                                  "/media/Backup/c.txt\nsecond line\n"
                                  "----------------------------------------\n"
                                  "Status:      Success\n"
                                  "Files:       12 copied, 3 deleted, 40 processed\n"
                                  "Transferred: 1.2 MB\n"
                                  "Duration:    62m 5s\n"
                                  "Finished:    2026-03-01 15:07:15");
}

TEST_F(LogServiceTest, PreviewWithoutLinesHasTwoSeparatorsAndOneFooter) {
    const auto location = service_.openLog(id_, true, "/a", "/b");
    SyncResult result;
    result.status = SyncStatus::failed;
    result.failedCount = 1;
    result.duration = 59.9;
    service_.closeLog(result, location);
    // Neither a second footer nor lines after the footer.
    result.status = SyncStatus::cancelled;
    service_.closeLog(result, location);
    service_.writeLine("late", location);

    EXPECT_EQ(readFile(location), "Quillfen Log\n"
                                  "Started:     2026-03-01 14:05:09\n"
                                  "Mode:        Preview (dry run)\n"
                                  "Source:      /a\n"
                                  "Destination: /b\n"
                                  "----------------------------------------\n"
                                  "----------------------------------------\n"
                                  "Status:      Failed\n"
                                  "Files:       0 copied, 0 deleted, 0 processed\n"
                                  "Failed:      1 files\n"
                                  "Transferred: 0 bytes\n"
                                  "Duration:    59s\n"
                                  "Finished:    2026-03-01 14:05:09");
}

TEST_F(LogServiceTest, AbandonedLogKeepsItsLinesAndHasNoFooter) {
    const auto location = service_.openLog(id_, false, "/a", "/b");
    service_.writeLine("one", location);
    service_.abandonLog(location);
    service_.writeLine("two", location);
    service_.closeLog(SyncResult{}, location);

    const auto content = readFile(location);
    EXPECT_TRUE(content.ends_with(kHeaderEnd + "[2026-03-01 14:05:09] one\n")) << content;
}

TEST_F(LogServiceTest, UnopenedOrUnwritableLocationsCreateNothing) {
    const auto never = logs_ / "never.log";
    service_.writeLine("line", never);
    service_.closeLog(SyncResult{}, never);
    EXPECT_FALSE(fs::exists(never));

    // A file where the Logs folder should be: the location is still given
    // and everything after it quietly does nothing.
    logs_ = temp_.write("NotAFolder", "x");
    const auto location = service_.openLog(id_, false, "/a", "/b");
    EXPECT_EQ(location, logs_ / (id_.toString() + ".log"));
    service_.writeLine("line", location);
    service_.closeLog(SyncResult{}, location);
    EXPECT_EQ(readFile(logs_), "x");
}

TEST_F(LogServiceTest, ReopeningReplacesTheFileAndLeavesNoTemporaryFiles) {
    const auto stale = temp_.write("Logs/" + id_.toString() + ".log", "old content\n");
    const auto location = service_.openLog(id_, false, "/a", "/b");
    EXPECT_EQ(location, stale);
    service_.writeLine("first run", location);
    service_.openLog(id_, true, "/c", "/d");
    service_.closeLog(SyncResult{}, location);

    const auto content = readFile(location);
    EXPECT_EQ(content.find("old content"), std::string::npos);
    EXPECT_EQ(content.find("first run"), std::string::npos);
    EXPECT_NE(content.find("Mode:        Preview (dry run)\nSource:      /c\n"), std::string::npos);
    EXPECT_EQ(listing(), std::vector<std::string>{id_.toString() + ".log"});
}

TEST_F(LogServiceTest, WritesNamesAsTheirBytes) {
    const std::string badName = "caf\xE9/\xFF\xFE.txt";
    const auto location = service_.openLog(id_, false, "/src/\xC3", "/dst");
    service_.writeLine("Copied: " + badName, location);
    service_.closeLog(SyncResult{}, location);

    const auto content = readFile(location);
    EXPECT_NE(content.find("Source:      /src/\xC3\n"), std::string::npos);
    EXPECT_NE(content.find("] Copied: " + badName + "\n"), std::string::npos);
}

TEST_F(LogServiceTest, LinesFromOtherThreadsArriveWhole) {
    const auto location = service_.openLog(id_, false, "/a", "/b");
    constexpr int kThreads = 4;
    constexpr int kLines = 500;
    const std::string padding(200, 'x');
    {
        std::vector<std::jthread> writers;
        for (int thread = 0; thread < kThreads; ++thread) {
            writers.emplace_back([&, thread] {
                for (int line = 0; line < kLines; ++line)
                    service_.writeLine(std::to_string(thread) + " " + padding, location);
            });
        }
    }
    service_.closeLog(SyncResult{}, location);

    const auto content = readFile(location);
    const auto body = content.substr(content.find(kHeaderEnd) + kHeaderEnd.size());
    const std::string expectedTail = " " + padding + "\n";
    int lines = 0;
    for (std::size_t start = 0; body.compare(start, 5, "-----") != 0; ++lines) {
        const auto end = body.find('\n', start) + 1;
        const auto line = body.substr(start, end - start);
        ASSERT_TRUE(line.starts_with("[2026-03-01 14:05:09] ")) << line;
        ASSERT_TRUE(line.ends_with(expectedTail)) << line;
        start = end;
    }
    EXPECT_EQ(lines, kThreads * kLines);
}

TEST_F(LogServiceTest, RemovesOrphansButKeepsLiveAndOpenLogs) {
    const fs::path outside = temp_.write("Outside/keep.txt", "precious").parent_path();
    temp_.write("Logs/live.log", "live");
    temp_.write("Logs/stray.txt", "stray");
    temp_.write("Logs/.hidden", "hidden");
    temp_.write("Logs/Folder/inner/deep.log", "deep");
    fs::create_directory_symlink(outside, logs_ / "link");
    liveNames_ = {"live.log", "not-there.log"};
    const auto open = service_.openLog(id_, false, "/a", "/b");

    service_.removeOrphanedLogs();

    EXPECT_EQ(listing(), (std::vector<std::string>{open.filename().string(), "live.log"}));
    EXPECT_EQ(readFile(outside / "keep.txt"), "precious");
    // The open log still takes its lines.
    service_.writeLine("still here", open);
    EXPECT_NE(readFile(open).find("still here"), std::string::npos);

    // Once closed, and with the history cleared, it goes too.
    service_.closeLog(SyncResult{}, open);
    liveNames_.clear();
    service_.removeOrphanedLogs();
    EXPECT_TRUE(listing().empty());

    // A missing Logs folder is no error.
    logs_ = temp_ / "Missing";
    service_.removeOrphanedLogs();
    EXPECT_FALSE(fs::exists(logs_));
}

TEST(LogServiceOverStoreTest, UsesTheStoresLogsFolderAndHistory) {
    test::TempDir container;
    StorageService storage(container.path());
    LogService service(storage);
    HistoryEntry kept;
    const auto keptLog = service.openLog(kept.id, false, "/a", "/b");
    EXPECT_EQ(keptLog, container / "Logs" / (kept.id.toString() + ".log"));
    service.closeLog(SyncResult{}, keptLog);
    kept.logFileName = keptLog.filename().string();
    storage.addHistoryEntry(kept);
    const auto orphan = service.openLog(Uuid::random(), false, "/a", "/b");
    service.closeLog(SyncResult{}, orphan);

    service.removeOrphanedLogs();
    EXPECT_TRUE(fs::exists(keptLog));
    EXPECT_FALSE(fs::exists(orphan));
}

} // namespace
} // namespace quillfen
