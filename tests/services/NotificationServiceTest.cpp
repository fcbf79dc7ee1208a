#include "services/NotificationService.h"

#include "FakeNotificationServer.h"
#include "PrivateSessionBus.h"
#include "TempDir.h"
#include "TestEnvironment.h"

#include <QTest>

#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <tuple>

namespace quillfen {
namespace {

using Message = NotificationService::Message;

bool waitUntil(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, 5000);
}

TEST(NotificationMessageTest, TitleFollowsStatusThenPreviewThenWatchAndBodyOnlyWhatApplies) {
    using enum RunTrigger;
    const SyncResult failed{.status = SyncStatus::failed};
    const SyncResult copied{.filesCopied = 12, .bytesTransferred = 3'400'000, .duration = 8.4};
    const std::string copiedBody = "12 files copied · 3.4 MB · ";
    const std::tuple<SyncResult, RunTrigger, Message> cases[] = {
        {{.filesCopied = 5, .isDryRun = true},
         watch,
         {"Preview Complete", "5 files would be copied"}},
        {{.status = SyncStatus::cancelled, .filesCopied = 3, .isDryRun = true},
         watch,
         {"Sync Cancelled", "3 files copied before cancellation"}},
        {failed, user, {"Sync Failed", "An error occurred"}},
        {{.status = SyncStatus::failed, .errorMessage = ""},
         user,
         {"Sync Failed", "An error occurred"}},
        {{.status = SyncStatus::failed, .isDryRun = true, .errorMessage = "Source not found: /a"},
         watch,
         {"Sync Failed", "Source not found: /a"}},
        {copied, user, {"Sync Complete", copiedBody + "8s"}},
        {copied, schedule, {"Sync Complete", copiedBody + "8s"}},
        {{.filesCopied = 12,
          .bytesTransferred = 3'400'000,
          .duration = 3725,
          .failedCount = 1,
          .verificationFailures = 2},
         watch,
         {"Watch Sync Complete", copiedBody + "62m 5s · 1 failed · 2 verify failed"}},
    };
    for (const auto& [result, trigger, message] : cases)
        EXPECT_EQ(NotificationService::messageFor(result, trigger), message) << message.body;
}

class NotificationServiceTest : public ::testing::Test {
protected:
    bool receive(qsizetype count) {
        return waitUntil([&] { return server.received().size() >= count; }) &&
               server.received().size() == count;
    }

    test::PrivateSessionBus bus;
    test::FakeNotificationServer server{bus.connect()};
    std::ostringstream output;
    NotificationService service{bus.connect(), output};
};

TEST_F(NotificationServiceTest, PostsEveryRunAsANewNotificationWithItsLogPath) {
    const SyncResult run{.filesCopied = 2, .bytesTransferred = 1'500'000, .duration = 1};
    service.postResult(run, std::filesystem::path("/data/Logs/ABC.log"), RunTrigger::user);
    ASSERT_TRUE(receive(1));
    const auto first = server.received()[0]; // a copy: later calls grow the list
    EXPECT_EQ(first.appName, "Quillfen");
    EXPECT_EQ(first.replacesId, 0u);
    EXPECT_FALSE(first.appIcon.isEmpty());
    EXPECT_EQ(first.summary, "Sync Complete");
    EXPECT_EQ(first.body, QString::fromUtf8("2 files copied · 1.5 MB · 1s"));
    EXPECT_TRUE(first.actions.isEmpty());
    EXPECT_EQ(first.hints.value("logPath").toString(), "/data/Logs/ABC.log");
    EXPECT_EQ(first.hints.value("sound-name").toString(), "message-new-instant");
    EXPECT_EQ(first.expireTimeout, -1);

    // Without a log file there is no log path; the same second gives a new one.
    service.postResult({.status = SyncStatus::cancelled, .filesCopied = 7}, std::nullopt,
                       RunTrigger::watch);
    ASSERT_TRUE(receive(2));
    const auto& second = server.received()[1];
    EXPECT_EQ(second.summary, "Sync Cancelled");
    EXPECT_FALSE(second.hints.contains("logPath"));
    EXPECT_EQ(second.replacesId, 0u);
    EXPECT_NE(second.id, first.id);
}

TEST_F(NotificationServiceTest, AuthorizationIsGrantedWhenAServerAnswersElseItsErrorIsPrinted) {
    service.requestAuthorization();
    ASSERT_TRUE(waitUntil([&] { return !output.str().empty(); }));
    EXPECT_EQ(output.str(), "[Notifications] authorization granted: true\n");
    output.str("");
    server.failWith("org.freedesktop.DBus.Error.Failed", "Notifications are switched off");
    service.requestAuthorization();
    ASSERT_TRUE(waitUntil([&] { return !output.str().empty(); }));
    EXPECT_EQ(output.str(),
              "[Notifications] requestAuthorization failed: Notifications are switched off\n");
}

TEST(NotificationServiceWithoutServerTest, AuthorizationFailsWithoutAServerOrABus) {
    const std::string prefix = "[Notifications] requestAuthorization failed: ";
    const auto expectFailureLine = [&](NotificationService& service, std::ostringstream& output) {
        service.requestAuthorization();
        ASSERT_TRUE(waitUntil([&] { return !output.str().empty(); }));
        const auto text = output.str();
        EXPECT_TRUE(text.starts_with(prefix) && text.size() > prefix.size() + 1) << text;
        EXPECT_EQ(text.find('\n'), text.size() - 1) << "one line only";
    };
    {
        test::PrivateSessionBus bus;
        std::ostringstream output;
        NotificationService service(bus.connect(), output);
        expectFailureLine(service, output);
        // Posting without a server is silent and harmless.
        service.postResult({.filesCopied = 1}, std::nullopt, RunTrigger::user);
        QTest::qWait(100);
        EXPECT_EQ(output.str().find(prefix, 1), std::string::npos);
    }
    std::ostringstream output;
    NotificationService disconnected(QDBusConnection(QStringLiteral("never-connected")), output);
    expectFailureLine(disconnected, output);
}

TEST(NotificationSettingsTest, OpensTheRunningDesktopsSettingsOrNothing) {
    test::TempDir bin;
    const test::ScopedEnv path("PATH", bin.path().string());
    NotificationService service{QDBusConnection(QStringLiteral("unused"))};
    EXPECT_FALSE(service.enableNotifications());

    // Stand-ins that record how they were started.
    for (const auto* program : {"systemsettings", "gnome-control-center"}) {
        const auto script = bin.write(program, "#!/bin/sh\necho \"${0##*/} $*\" > \"" +
                                                   (bin / "called").string() + "\"\n");
        ::chmod(script.c_str(), 0755);
    }
    const auto startedWith = [&](const char* desktop) {
        std::filesystem::remove(bin / "called");
        const test::ScopedEnv current("XDG_CURRENT_DESKTOP", desktop);
        EXPECT_TRUE(service.enableNotifications());
        waitUntil([&] { return test::readFile(bin / "called").ends_with('\n'); });
        return test::readFile(bin / "called");
    };
    EXPECT_EQ(startedWith("ubuntu:GNOME"), "gnome-control-center notifications\n");
    EXPECT_EQ(startedWith("KDE"), "systemsettings kcm_notifications\n");
}

} // namespace
} // namespace quillfen
