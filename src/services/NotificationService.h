#pragma once

#include "records/SyncResult.h"
#include "services/RunKind.h"

#include <QDBusConnection>
#include <QDBusPendingCall>
#include <QObject>

#include <filesystem>
#include <iostream>
#include <optional>
#include <ostream>
#include <string>

namespace quillfen {

// Tells the user how a run ended through the desktop's notification server
// (org.freedesktop.Notifications). Every D-Bus call is asynchronous: a server
// that hangs must never freeze the window, and one that is missing or fails
// is only reported on the output stream, never to the user.
class NotificationService : public QObject {
    Q_OBJECT

public:
    struct Message {
        std::string title;
        std::string body;
        friend bool operator==(const Message&, const Message&) = default;
    };

    // Production passes QDBusConnection::sessionBus(); `output` receives the
    // "[Notifications] " lines (standard output in the application).
    explicit NotificationService(QDBusConnection connection, std::ostream& output = std::cout,
                                 QObject* parent = nullptr);

    // The title and body for a finished run.
    static Message messageFor(const SyncResult& result, RunTrigger trigger);

    // Posts one new notification (never replacing an earlier one) with the
    // run's log file as the hint "logPath" when there is one.
    void postResult(const SyncResult& result, const std::optional<std::filesystem::path>& logPath,
                    RunTrigger trigger);

    // Desktop notifications need no permission; what can be learned is
    // whether a notification server answers. Prints the outcome when the
    // answer comes.
    void requestAuthorization();

    // Opens the desktop's notification settings (GNOME Settings, KDE System
    // Settings or the Xfce notification settings, preferring the running
    // desktop's). False when none of them is installed.
    bool enableNotifications();

private:
    void printAuthorization(const QDBusPendingCall& answer);
    void printLine(const std::string& line);

    QDBusConnection connection_;
    std::ostream& output_;
};

} // namespace quillfen
