#include "services/NotificationService.h"

#include "FakeNotificationServer.h"
#include "PrivateSessionBus.h"
#include "TempDir.h"

#include <QTest>

#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace quillfen {
namespace {

using Message = NotificationService::Message;

SyncResult finished(SyncStatus status, std::int64_t filesCopied, bool isDryRun = false) {
    SyncResult result;
    result.status = status;
    result.filesCopied = filesCopied;
    result.isDryRun = isDryRun;
    return result;
}

bool waitUntil(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, 5000);
}

TEST(NotificationMessageTest, TitleFollowsStatusThenPreviewThenWatchAndBodyOnlyWhatApplies) {
    const auto message = NotificationService::messageFor;
    const auto preview = finished(SyncStatus::success, 5, true);
    EXPECT_EQ(message(preview, RunTrigger::watch),
              (Message{"Preview Complete", "5 files would be copied"}));
    EXPECT_EQ(message(finished(SyncStatus::cancelled, 3, true), RunTrigger::watch),
              (Message{"Sync Cancelled", "3 files copied before cancellation"}));

    auto failed = finished(SyncStatus::failed, 0);
    EXPECT_EQ(message(failed, RunTrigger::user), (Message{"Sync Failed", "An error occurred"}));
    failed.errorMessage = "";
    EXPECT_EQ(message(failed, RunTrigger::user).body, "An error occurred");
    failed.errorMessage = "Source not found: /media/usb/photos";
    failed.isDryRun = true;
    EXPECT_EQ(message(failed, RunTrigger::watch),
              (Message{"Sync Failed", "Source not found: /media/usb/photos"}));

    auto run = finished(SyncStatus::success, 12);
    run.bytesTransferred = 3'400'000;
    run.duration = 8.4;
    EXPECT_EQ(message(run, RunTrigger::user),
              (Message{"Sync Complete", "12 files copied · 3.4 MB · 8s"}));
    EXPECT_EQ(message(run, RunTrigger::schedule).title, "Sync Complete");
    run.verificationFailures = 2;
    run.failedCount = 1;
    run.duration = 3725;
    EXPECT_EQ(message(run, RunTrigger::watch),
              (Message{"Watch Sync Complete",
                       "12 files copied · 3.4 MB · 62m 5s · 1 failed · 2 verify failed"}));
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
    auto run = finished(SyncStatus::success, 2);
    run.bytesTransferred = 1'500'000;
    run.duration = 1;
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
    service.postResult(finished(SyncStatus::cancelled, 7), std::nullopt, RunTrigger::watch);
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
        service.postResult(finished(SyncStatus::success, 1), std::nullopt, RunTrigger::user);
        QTest::qWait(100);
        EXPECT_EQ(output.str().find(prefix, 1), std::string::npos);
    }
    std::ostringstream output;
    NotificationService disconnected(QDBusConnection(QStringLiteral("never-connected")), output);
    expectFailureLine(disconnected, output);
}

TEST(NotificationSettingsTest, OpensTheRunningDesktopsSettingsOrNothing) {
    const auto savedPath = qgetenv("PATH");
    const auto savedDesktop = qgetenv("XDG_CURRENT_DESKTOP");
    test::TempDir bin;
    qputenv("PATH", QByteArray::fromStdString(bin.path().string()));
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
        qputenv("XDG_CURRENT_DESKTOP", desktop);
        EXPECT_TRUE(service.enableNotifications());
        waitUntil([&] { return test::readFile(bin / "called").ends_with('\n'); });
        return test::readFile(bin / "called");
    };
    EXPECT_EQ(startedWith("ubuntu:GNOME"), "gnome-control-center notifications\n");
    EXPECT_EQ(startedWith("KDE"), "systemsettings kcm_notifications\n");
    qputenv("PATH", savedPath);
    qputenv("XDG_CURRENT_DESKTOP", savedDesktop);
}

} // namespace
} // namespace quillfen
