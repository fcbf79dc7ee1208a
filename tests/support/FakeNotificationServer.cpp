#include "FakeNotificationServer.h"

#include <QDBusError>

#include <stdexcept>

namespace quillfen::test {
namespace {

const QString kServiceName = QStringLiteral("org.freedesktop.Notifications");
const QString kObjectPath = QStringLiteral("/org/freedesktop/Notifications");

} // namespace

FakeNotificationServer::FakeNotificationServer(QDBusConnection connection, QObject* parent)
    : QObject(parent), connection_(std::move(connection)) {
    if (!connection_.registerObject(kObjectPath, this, QDBusConnection::ExportAllSlots))
        throw std::runtime_error("cannot register the fake notification server's object");
    if (!connection_.registerService(kServiceName))
        throw std::runtime_error("cannot own " + kServiceName.toStdString() + ": " +
                                 connection_.lastError().message().toStdString());
}

FakeNotificationServer::~FakeNotificationServer() {
    connection_.unregisterService(kServiceName);
    connection_.unregisterObject(kObjectPath);
}

void FakeNotificationServer::failWith(const QString& errorName, const QString& message) {
    errorName_ = errorName;
    errorMessage_ = message;
}

bool FakeNotificationServer::replyWithFailure() {
    if (errorName_.isEmpty())
        return false;
    sendErrorReply(errorName_, errorMessage_);
    return true;
}

uint FakeNotificationServer::Notify(const QString& appName, uint replacesId, const QString& appIcon,
                                    const QString& summary, const QString& body,
                                    const QStringList& actions, const QVariantMap& hints,
                                    int expireTimeout) {
    if (replyWithFailure())
        return 0;
    Notification notification{appName, replacesId, appIcon,       summary,  body,
                              actions, hints,      expireTimeout, ++lastId_};
    received_.append(notification);
    emit notified();
    return notification.id;
}

QStringList FakeNotificationServer::GetCapabilities() {
    if (replyWithFailure())
        return {};
    return {QStringLiteral("body"), QStringLiteral("sound")};
}

QString FakeNotificationServer::GetServerInformation(QString& vendor, QString& version,
                                                     QString& specVersion) {
    if (replyWithFailure())
        return {};
    vendor = QStringLiteral("Quillfen tests");
    version = QStringLiteral("1");
    specVersion = QStringLiteral("1.2");
    return QStringLiteral("fake-notification-server");
}

void FakeNotificationServer::CloseNotification(uint /*id*/) {
    replyWithFailure();
}

} // namespace quillfen::test
