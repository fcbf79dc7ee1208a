#include "services/NotificationService.h"

#include "records/TextFormat.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QProcess>
#include <QStandardPaths>
#include <QVariantMap>

#include <algorithm>
#include <array>

namespace quillfen {
namespace {

const QString kServiceName = QStringLiteral("org.freedesktop.Notifications");
const QString kObjectPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kAppName = QStringLiteral("Quillfen");
// Matches the application's desktop entry and icon, so the desktop can show
// and group the notifications as the application's own.
const QString kDesktopEntry = QStringLiteral("quillfen");
// The freedesktop sound theme's name for an incoming message: the desktop's
// usual notification sound.
const QString kSoundName = QStringLiteral("message-new-instant");
constexpr int kServerDecidesExpiry = -1;

struct SettingsApp {
    const char* desktop; // as named in XDG_CURRENT_DESKTOP
    const char* program;
    const char* argument; // may be null
};

constexpr std::array kSettingsApps{
    SettingsApp{"GNOME", "gnome-control-center", "notifications"},
    SettingsApp{"KDE", "systemsettings", "kcm_notifications"},
    SettingsApp{"KDE", "systemsettings5", "kcm_notifications"},
    SettingsApp{"XFCE", "xfce4-notifyd-config", nullptr},
};

std::string completionBody(const SyncResult& result) {
    std::string body = std::to_string(result.filesCopied) + " files copied · " +
                       formatFileSize(result.bytesTransferred) + " · " + result.durationText();
    if (result.failedCount >= 1)
        body += " · " + std::to_string(result.failedCount) + " failed";
    if (result.verificationFailures >= 1)
        body += " · " + std::to_string(result.verificationFailures) + " verify failed";
    return body;
}

QString toQString(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

NotificationService::NotificationService(QDBusConnection connection, std::ostream& output,
                                         QObject* parent)
    : QObject(parent), connection_(std::move(connection)), output_(output) {}

NotificationService::Message NotificationService::messageFor(const SyncResult& result,
                                                             RunTrigger trigger) {
    switch (result.status) {
    case SyncStatus::cancelled:
        return {"Sync Cancelled",
                std::to_string(result.filesCopied) + " files copied before cancellation"};
    case SyncStatus::failed:
        // An empty message would leave the notification without a body.
        if (!result.errorMessage || result.errorMessage->empty())
            return {"Sync Failed", "An error occurred"};
        return {"Sync Failed", *result.errorMessage};
    case SyncStatus::success:
        break;
    }
    if (result.isDryRun)
        return {"Preview Complete", std::to_string(result.filesCopied) + " files would be copied"};
    return {trigger == RunTrigger::watch ? "Watch Sync Complete" : "Sync Complete",
            completionBody(result)};
}

void NotificationService::postResult(const SyncResult& result,
                                     const std::optional<std::filesystem::path>& logPath,
                                     RunTrigger trigger) {
    Message message = messageFor(result, trigger);
    QVariantMap hints{{QStringLiteral("sound-name"), kSoundName},
                      {QStringLiteral("desktop-entry"), kDesktopEntry}};
    if (logPath)
        hints.insert(QStringLiteral("logPath"), toQString(logPath->string()));

    auto call = QDBusMessage::createMethodCall(kServiceName, kObjectPath, kInterface,
                                               QStringLiteral("Notify"));
    // replaces_id 0: always a new notification, never an update of an earlier one.
    call << kAppName << 0u << kDesktopEntry << toQString(message.title) << toQString(message.body)
         << QStringList() << hints << kServerDecidesExpiry;
    // Delivery is not followed up: a refused or lost notification goes unnoticed.
    connection_.asyncCall(call);
}

void NotificationService::requestAuthorization() {
    auto call = QDBusMessage::createMethodCall(kServiceName, kObjectPath, kInterface,
                                               QStringLiteral("GetServerInformation"));
    QDBusPendingCall pending = connection_.asyncCall(call);
    // Without a bus the call fails on the spot and a watcher would never
    // hear of it; the answer is still given from the event loop.
    if (pending.isFinished()) {
        QMetaObject::invokeMethod(
            this, [this, pending] { printAuthorization(pending); }, Qt::QueuedConnection);
        return;
    }
    auto* watcher = new QDBusPendingCallWatcher(pending, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                printAuthorization(*finished);
            });
}

void NotificationService::printAuthorization(const QDBusPendingCall& answer) {
    if (!answer.isError()) {
        printLine("[Notifications] authorization granted: true");
        return;
    }
    QDBusError error = answer.error();
    QString description = error.message().isEmpty() ? error.name() : error.message();
    printLine("[Notifications] requestAuthorization failed: " + description.toStdString());
}

bool NotificationService::enableNotifications() {
    auto desktops = qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts);
    auto apps = kSettingsApps;
    std::stable_partition(apps.begin(), apps.end(), [&](const SettingsApp& app) {
        return desktops.contains(QLatin1String(app.desktop), Qt::CaseInsensitive);
    });
    for (const auto& app : apps) {
        QString program = QStandardPaths::findExecutable(QString::fromLatin1(app.program));
        if (program.isEmpty())
            continue;
        QStringList arguments;
        if (app.argument)
            arguments << QString::fromLatin1(app.argument);
        if (QProcess::startDetached(program, arguments))
            return true;
    }
    return false;
}

void NotificationService::printLine(const std::string& line) {
    output_ << line << std::endl;
}

} // namespace quillfen
