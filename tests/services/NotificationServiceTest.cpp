#include "services/NotificationService.h"

#include "FakeNotificationServer.h"
#include "PrivateSessionBus.h"
#include "TempDir.h"
#include "TestEnvironment.h"

#include <QTest>

#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace quillfen {
namespace {

using enum RunTrigger;

bool waitUntil(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, 5000);
}

// Asks for authorization and returns all the service has printed by the answer.
std::string authorization(NotificationService& service, std::ostringstream& output) {
    service.requestAuthorization();
    waitUntil([&] { return !output.str().empty(); });
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
        return waitUntil([&] { return server.received().size() >= count; }) &&
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

TEST(NotificationServiceWithoutServerTest, AuthorizationFailsInOneLineWithoutAServerOrABus) {
    const auto failureLine = [](QDBusConnection connection) {
        std::ostringstream output;
        NotificationService service(std::move(connection), output);
        // Posting without a server is silent and harmless.
        service.postResult({.filesCopied = 1}, std::nullopt, user);
        QTest::qWait(50);
        return authorization(service, output);
    };
    const std::string prefix = "[Notifications] requestAuthorization failed: ";
    test::PrivateSessionBus bus;
    for (auto text : {failureLine(bus.connect()), failureLine(QDBusConnection("unconnected"))}) {
        EXPECT_TRUE(text.starts_with(prefix) && text.size() > prefix.size() + 1) << text;
        EXPECT_EQ(text.find('\n'), text.size() - 1) << text;
    }
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
        waitUntil([&] { return test::readFile(bin / "called").ends_with('\n'); });
        return test::readFile(bin / "called");
    };
    EXPECT_EQ(startedWith("ubuntu:GNOME"), "gnome-control-center notifications\n");
    EXPECT_EQ(startedWith("KDE"), "systemsettings kcm_notifications\n");
}

} // namespace
} // namespace quillfen
