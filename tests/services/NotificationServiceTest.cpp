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

using test::FakeNotificationServer;
using Message = NotificationService::Message;

SyncResult finished(SyncStatus status, std::int64_t filesCopied, bool isDryRun = false) {
    SyncResult result;
    result.status = status;
    result.filesCopied = filesCopied;
    result.isDryRun = isDryRun;
    return result;
}

TEST(NotificationMessageTest, TitlesFollowStatusThenPreviewThenWatch) {
    auto message = [](const SyncResult& result, bool watch) {
        return NotificationService::messageFor(result, watch);
    };
    auto preview = finished(SyncStatus::success, 5, true);
    EXPECT_EQ(message(preview, false), (Message{"Preview Complete", "5 files would be copied"}));
    EXPECT_EQ(message(preview, true).title, "Preview Complete");

    auto cancelledPreview = finished(SyncStatus::cancelled, 3, true);
    EXPECT_EQ(message(cancelledPreview, true),
              (Message{"Sync Cancelled", "3 files copied before cancellation"}));

    auto failed = finished(SyncStatus::failed, 0);
    EXPECT_EQ(message(failed, false), (Message{"Sync Failed", "An error occurred"}));
    failed.errorMessage = "";
    EXPECT_EQ(message(failed, false).body, "An error occurred");
    failed.errorMessage = "Source not found: /media/usb/photos";
    failed.isDryRun = true;
    EXPECT_EQ(message(failed, true),
              (Message{"Sync Failed", "Source not found: /media/usb/photos"}));
}

TEST(NotificationMessageTest, CompletionBodyListsOnlyTheFiguresThatApply) {
    auto run = finished(SyncStatus::success, 12);
    run.bytesTransferred = 3'400'000;
    run.duration = 8.4;
    EXPECT_EQ(NotificationService::messageFor(run, false),
              (Message{"Sync Complete", "12 files copied · 3.4 MB · 8s"}));

    run.verificationFailures = 2;
    EXPECT_EQ(NotificationService::messageFor(run, true),
              (Message{"Watch Sync Complete", "12 files copied · 3.4 MB · 8s · 2 verify failed"}));

    run.failedCount = 1;
    run.duration = 3725;
    EXPECT_EQ(NotificationService::messageFor(run, false).body,
              "12 files copied · 3.4 MB · 62m 5s · 1 failed · 2 verify failed");
}

class NotificationServiceTest : public ::testing::Test {
protected:
    // Waits for `count` notifications at the fake server.
    bool receive(qsizetype count) {
        return QTest::qWaitFor([&] { return server.received().size() >= count; }, 5000) &&
               server.received().size() == count;
    }

    bool printed() {
        return QTest::qWaitFor([&] { return !output.str().empty(); }, 5000);
    }

    test::PrivateSessionBus bus;
    FakeNotificationServer server{bus.connect()};
    std::ostringstream output;
    NotificationService service{bus.connect(), output};
};

TEST_F(NotificationServiceTest, PostsEveryRunAsANewNotificationWithItsLogPath) {
    auto run = finished(SyncStatus::success, 2);
    run.bytesTransferred = 1'500'000;
    run.duration = 1;
    service.postResult(run, std::filesystem::path("/data/Logs/ABC.log"), false);
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

    // A run without a log file carries no log path; a second notification in
    // the same second is a separate one.
    service.postResult(finished(SyncStatus::cancelled, 7), std::nullopt, true);
    ASSERT_TRUE(receive(2));
    const auto& second = server.received()[1];
    EXPECT_EQ(second.summary, "Sync Cancelled");
    EXPECT_EQ(second.body, "7 files copied before cancellation");
    EXPECT_FALSE(second.hints.contains("logPath"));
    EXPECT_EQ(second.replacesId, 0u);
    EXPECT_NE(second.id, first.id);
}

TEST_F(NotificationServiceTest, AuthorizationIsGrantedWhenAServerAnswers) {
    service.requestAuthorization();
    ASSERT_TRUE(printed());
    EXPECT_EQ(output.str(), "[Notifications] authorization granted: true\n");
}

TEST_F(NotificationServiceTest, AuthorizationFailsWithTheServersError) {
    server.failWith("org.freedesktop.DBus.Error.Failed", "Notifications are switched off");
    service.requestAuthorization();
    ASSERT_TRUE(printed());
    EXPECT_EQ(output.str(),
              "[Notifications] requestAuthorization failed: Notifications are switched off\n");
}

TEST(NotificationServiceWithoutServerTest, AuthorizationFailsWithoutAServerOrABus) {
    const std::string prefix = "[Notifications] requestAuthorization failed: ";
    auto expectFailureLine = [&](const std::string& text) {
        ASSERT_GT(text.size(), prefix.size() + 1) << text;
        EXPECT_EQ(text.substr(0, prefix.size()), prefix);
        EXPECT_EQ(text.back(), '\n');
        EXPECT_EQ(text.find('\n'), text.size() - 1) << "one line only";
    };
    {
        test::PrivateSessionBus bus;
        std::ostringstream output;
        NotificationService service(bus.connect(), output);
        service.requestAuthorization();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !output.str().empty(); }, 5000));
        expectFailureLine(output.str());
        // Posting without a server is silent and harmless.
        service.postResult(finished(SyncStatus::success, 1), std::nullopt, false);
        QTest::qWait(100);
        EXPECT_EQ(output.str().find(prefix, 1), std::string::npos);
    }
    std::ostringstream output;
    NotificationService disconnected(QDBusConnection(QStringLiteral("never-connected")), output);
    disconnected.requestAuthorization();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !output.str().empty(); }, 5000));
    expectFailureLine(output.str());
}

class NotificationSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedPath = qgetenv("PATH");
        savedDesktop = qgetenv("XDG_CURRENT_DESKTOP");
        qputenv("PATH", QByteArray::fromStdString(bin.path().string()));
    }
    void TearDown() override {
        qputenv("PATH", savedPath);
        qputenv("XDG_CURRENT_DESKTOP", savedDesktop);
    }

    // A stand-in settings application that records how it was started.
    void install(const std::string& program) {
        auto script = bin.write(program, "#!/bin/sh\necho \"$0 $*\" > \"" +
                                             (calls.path() / program).string() + "\"\n");
        ::chmod(script.c_str(), 0755);
    }

    // The command line the stand-in recorded, once it has run.
    std::string startedAs(const std::string& program) {
        auto record = calls.path() / program;
        auto line = [&] {
            return test::readFile(record);
        };
        if (!QTest::qWaitFor([&] { return line().ends_with('\n'); }, 5000))
            return "(not started)";
        return line();
    }

    test::TempDir bin;
    test::TempDir calls;
    QByteArray savedPath;
    QByteArray savedDesktop;
    NotificationService service{QDBusConnection(QStringLiteral("unused"))};
};

TEST_F(NotificationSettingsTest, OpensTheRunningDesktopsSettingsOrNothing) {
    EXPECT_FALSE(service.enableNotifications());

    install("systemsettings");
    install("gnome-control-center");
    qputenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
    EXPECT_TRUE(service.enableNotifications());
    EXPECT_EQ(startedAs("gnome-control-center"),
              (bin.path() / "gnome-control-center").string() + " notifications\n");

    qputenv("XDG_CURRENT_DESKTOP", "KDE");
    EXPECT_TRUE(service.enableNotifications());
    EXPECT_EQ(startedAs("systemsettings"),
              (bin.path() / "systemsettings").string() + " kcm_notifications\n");
}

} // namespace
} // namespace quillfen
