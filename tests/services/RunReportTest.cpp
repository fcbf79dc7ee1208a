#include "FakeNotificationServer.h"
#include "PrivateSessionBus.h"
#include "RecordBuilders.h"
#include "TempDir.h"
#include "TestEnvironment.h"
#include "services/LogService.h"
#include "services/NotificationService.h"

#include <QTest>

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
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
        fs::create_directories(logs);
    }
    std::vector<std::string> listing() const { return test::folderNames(logs); }

    test::TempDir temp;
    fs::path logs = temp / "Logs";
    std::vector<std::string> live;
    Date clock = at("2026-03-01T14:05:09Z");
    LogService log{[this] { return logs; }, [this] { return live; },
                   [this] {
                       return clock;
                   }};
    const Uuid id = *Uuid::parse("E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
};

TEST_F(LogServiceTest, WritesHeaderLinesAndFooterExactlyReplacingAnyEarlierFile) {
    const auto stale = temp.write("Logs/E621E1F8-C36C-495A-93FC-0C247A3E6E5F.log", "old\n");
    log.writeLine("unfinished run", log.openLog(id, RunMode::preview, "/c", "/d"));
    const auto location = log.openLog(id, RunMode::sync, "/home/me/caf\xE9", "/media/Backup");
    EXPECT_EQ(location, stale);
    log.writeLine("Copied: a/\xFF\xFE.txt", location);
    clock = at("2026-03-01T14:05:11Z");
    log.writeLine("Failed: c.txt — Cannot write: /media/Backup/c.txt\nsecond line", location);
    clock = at("2026-03-01T15:07:15Z");
    SyncResult done{.filesCopied = 12, .filesDeleted = 3, .bytesTransferred = 1234567};
    done.duration = 3725.9;
    done.failedCount = 1;
    log.closeLog(done, location);
    EXPECT_EQ(
        readFile(location),
        "Quillfen Log\nStarted:     2026-03-01 14:05:09\nMode:        Sync\n"
        "Source:      /home/me/caf\xE9\n"
        "Destination: /media/Backup\n----------------------------------------\n"
        "[2026-03-01 14:05:09] Copied: a/\xFF\xFE.txt\n"
        "[2026-03-01 14:05:11] Failed: c.txt — Cannot write: /media/Backup/c.txt\nsecond line\n"
        "----------------------------------------\nStatus:      Success\n"
        "Files:       12 copied, 3 deleted, 0 processed\nFailed:      1 files\n"
        "Transferred: 1.2 MB\nDuration:    62m 5s\nFinished:    2026-03-01 15:07:15");
    EXPECT_EQ(listing(), std::vector<std::string>{stale.filename().string()});
}

TEST_F(LogServiceTest, EndedAbandonedUnopenedOrUnwritableLogsTakeNoMore) {
    const auto preview = log.openLog(id, RunMode::preview, "/a", "/b");
    log.closeLog({.status = SyncStatus::failed}, preview);
    log.closeLog({.status = SyncStatus::cancelled}, preview);
    log.writeLine("late", preview);
    // No lines, then one footer and nothing after it.
    const auto text = readFile(preview);
    EXPECT_NE(text.find("Mode:        Preview (dry run)\n"), std::string::npos) << text;
    EXPECT_NE(text.find(kRule + kRule + "Status:      Failed\n"), std::string::npos) << text;
    EXPECT_TRUE(text.find("Status:") == text.rfind("Status:") &&
                text.ends_with("Finished:    2026-03-01 14:05:09"))
        << text;

    // An abandoned log keeps its lines and gets no footer.
    const auto abandoned = log.openLog(Uuid::random(), RunMode::sync, "/a", "/b");
    log.writeLine("one", abandoned);
    log.abandonLog(abandoned);
    log.writeLine("two", abandoned);
    log.closeLog(SyncResult{}, abandoned);
    EXPECT_TRUE(readFile(abandoned).ends_with(kRule + "[2026-03-01 14:05:09] one\n"));

    // A file where the Logs folder should be: the location is still given,
    // and the log that is not open takes nothing.
    logs = temp.write("NotAFolder", "x");
    const auto blocked = log.openLog(id, RunMode::sync, "/a", "/b");
    EXPECT_EQ(blocked, logs / (id.toString() + ".log"));
    log.writeLine("line", blocked);
    log.closeLog(SyncResult{}, blocked);
    EXPECT_EQ(readFile(logs), "x");
}

TEST_F(LogServiceTest, LinesFromOtherThreadsArriveWhole) {
    const auto location = log.openLog(id, RunMode::sync, "/a", "/b");
    std::string expected = kRule;
    for (std::vector<std::jthread> writers; writers.size() < 4;)
        writers.emplace_back([&] {
            for (int i = 0; i < 500; ++i)
                log.writeLine(std::string(200, 'x'), location);
        });
    for (int i = 0; i < 4 * 500; ++i)
        expected += "[2026-03-01 14:05:09] " + std::string(200, 'x') + "\n";
    log.closeLog(SyncResult{}, location);
    EXPECT_NE(readFile(location).find(expected + kRule), std::string::npos);
}

TEST_F(LogServiceTest, RemovesOrphansButKeepsLiveAndOpenLogs) {
    const fs::path outside = temp.write("Outside/keep.txt", "precious").parent_path();
    temp.write("Logs/live.log", "live");
    temp.write("Logs/.stray", "stray");
    temp.write("Logs/Folder/inner/deep.log", "deep");
    fs::create_directory_symlink(outside, logs / "link");
    live = {"live.log", "not-there.log"};
    const auto open = log.openLog(id, RunMode::sync, "/a", "/b");
    log.removeOrphanedLogs();
    EXPECT_EQ(listing(), (std::vector<std::string>{open.filename().string(), "live.log"}));
    EXPECT_EQ(readFile(outside / "keep.txt"), "precious");
    log.writeLine("still here", open);
    EXPECT_NE(readFile(open).find("still here"), std::string::npos);

    log.closeLog(SyncResult{}, open);
    live.clear();
    log.removeOrphanedLogs();
    EXPECT_TRUE(listing().empty());
    logs = temp / "Missing"; // no error
    log.removeOrphanedLogs();
    EXPECT_FALSE(fs::exists(logs));
}

using enum RunTrigger;

// Asks for authorization and returns all the service has printed by the answer.
std::string authorization(NotificationService& service, std::ostringstream& output) {
    service.requestAuthorization();
    (void)QTest::qWaitFor([&] { return !output.str().empty(); });
    QTest::qWait(50);
    return output.str();
}

TEST(NotificationMessageTest, TitleFollowsStatusThenPreviewThenWatchAndBodyOnlyWhatApplies) {
    const SyncResult preview{.filesCopied = 5, .isDryRun = true};
    const SyncResult cancelled{.status = SyncStatus::cancelled, .filesCopied = 3, .isDryRun = true};
    const SyncResult failed{.status = SyncStatus::failed};
    const SyncResult failedEmpty{.status = SyncStatus::failed, .errorMessage = ""};
    const SyncResult failedPreview{
        .status = SyncStatus::failed, .isDryRun = true, .errorMessage = "No /a"};
    const SyncResult copied{.filesCopied = 12, .bytesTransferred = 3'400'000, .duration = 8.4};
    auto everything = copied;
    everything.duration = 3725;
    everything.failedCount = 1;
    everything.verificationFailures = 2;
    const std::string body = "12 files copied · 3.4 MB · ";
    const std::tuple<SyncResult, RunTrigger, std::string, std::string> cases[] = {
        {preview, watch, "Preview Complete", "5 files would be copied"},
        {cancelled, watch, "Sync Cancelled", "3 files copied before cancellation"},
        {failed, user, "Sync Failed", "An error occurred"},
        {failedEmpty, user, "Sync Failed", "An error occurred"},
        {failedPreview, watch, "Sync Failed", "No /a"},
        {copied, user, "Sync Complete", body + "8s"},
        {copied, schedule, "Sync Complete", body + "8s"},
        {everything, watch, "Watch Sync Complete", body + "62m 5s · 1 failed · 2 verify failed"}};
    for (const auto& [result, trigger, title, text] : cases)
        EXPECT_EQ(NotificationService::messageFor(result, trigger),
                  (NotificationService::Message{title, text}));
}

class NotificationServiceTest : public ::testing::Test {
protected:
    bool received(qsizetype count) {
        return QTest::qWaitFor([&] { return server.received().size() >= count; }) &&
               server.received().size() == count;
    }

    test::PrivateSessionBus bus;
    test::FakeNotificationServer server{bus.connect()};
    std::ostringstream output;
    NotificationService service{bus.connect(), output};
};

TEST_F(NotificationServiceTest, PostsEveryRunAsANewNotificationWithItsLogPath) {
    service.postResult({.filesCopied = 2, .bytesTransferred = 1'500'000, .duration = 1},
                       std::filesystem::path("/data/Logs/ABC.log"), user);
    ASSERT_TRUE(received(1));
    const auto first = server.received()[0]; // a copy: later calls grow the list
    EXPECT_EQ(first.appName + "|" + first.summary + "|" + first.body,
              QString::fromUtf8("Quillfen|Sync Complete|2 files copied · 1.5 MB · 1s"));
    EXPECT_FALSE(first.appIcon.isEmpty());
    EXPECT_EQ(first.hints.value("logPath").toString(), "/data/Logs/ABC.log");
    EXPECT_EQ(first.hints.value("sound-name").toString(), "message-new-instant");
    EXPECT_EQ(first.expireTimeout, -1);

    // Without a log file there is no log path; the same second gives a new one.
    service.postResult({.status = SyncStatus::cancelled}, std::nullopt, watch);
    ASSERT_TRUE(received(2));
    const auto& second = server.received()[1];
    EXPECT_FALSE(second.hints.contains("logPath"));
    EXPECT_EQ(first.replacesId + second.replacesId, 0u);
    EXPECT_NE(second.id, first.id);
}

TEST_F(NotificationServiceTest, AuthorizationIsGrantedWhenAServerAnswersElseItsErrorIsPrinted) {
    EXPECT_EQ(authorization(service, output), "[Notifications] authorization granted: true\n");
    server.failWith("org.freedesktop.DBus.Error.Failed", "Notifications are switched off");
    output.str("");
    EXPECT_EQ(authorization(service, output),
              "[Notifications] requestAuthorization failed: Notifications are switched off\n");
}

// A bus without a server answers with an error, as the failing server above
// does; without a bus the call fails before it is sent.
TEST(NotificationServiceWithoutBusTest, PostingIsHarmlessAndAuthorizationFailsInOneLine) {
    std::ostringstream output;
    NotificationService service(QDBusConnection("unconnected"), output);
    service.postResult({.filesCopied = 1}, std::nullopt, user);
    QTest::qWait(50);
    const std::string text = authorization(service, output);
    const std::string prefix = "[Notifications] requestAuthorization failed: ";
    EXPECT_TRUE(text.starts_with(prefix) && text.size() > prefix.size() + 1) << text;
    EXPECT_EQ(text.find('\n'), text.size() - 1) << text;
}

TEST(NotificationSettingsTest, OpensTheRunningDesktopsSettingsOrNothing) {
    test::TempDir bin;
    const test::ScopedEnv path("PATH", bin.path().string());
    NotificationService service{QDBusConnection(QStringLiteral("unused"))};
    EXPECT_FALSE(service.enableNotifications());
    // Stand-ins that record how they were started.
    for (const auto* program : {"systemsettings", "gnome-control-center"})
        ::chmod(bin.write(program, "#!/bin/sh\necho \"${0##*/} $*\" > " + (bin / "called").string())
                    .c_str(),
                0755);
    const auto startedWith = [&](const char* desktop) {
        std::filesystem::remove(bin / "called");
        const test::ScopedEnv current("XDG_CURRENT_DESKTOP", desktop);
        EXPECT_TRUE(service.enableNotifications());
        (void)QTest::qWaitFor([&] { return test::readFile(bin / "called").ends_with('\n'); });
        return test::readFile(bin / "called");
    };
    EXPECT_EQ(startedWith("ubuntu:GNOME"), "gnome-control-center notifications\n");
    EXPECT_EQ(startedWith("KDE"), "systemsettings kcm_notifications\n");
}

} // namespace
} // namespace quillfen
