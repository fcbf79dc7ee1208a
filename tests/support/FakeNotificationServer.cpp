#include "FakeNotificationServer.h"

#include <QDBusError>

#include <stdexcept>

namespace quillfen::test {
namespace {

const QString kServiceName = QStringLiteral("org.freedesktop.Notifications");
const QString kObjectPath = QStringLiteral("/org/freedesktop/Notifications");

} // namespace

FakeNotificationServer::FakeNotificationServer(QDBusConnection connection)
    : connection_(std::move(connection)) {
    if (!connection_.registerObject(kObjectPath, this, QDBusConnection::ExportAllSlots) ||
        !connection_.registerService(kServiceName))
        throw std::runtime_error("cannot serve notifications: " +
                                 connection_.lastError().message().toStdString());
}

FakeNotificationServer::~FakeNotificationServer() {
    connection_.unregisterService(kServiceName);
    connection_.unregisterObject(kObjectPath);
}

bool FakeNotificationServer::replyWithFailure() {
    if (!errorName_.isEmpty())
        sendErrorReply(errorName_, errorMessage_);
    return !errorName_.isEmpty();
}

uint FakeNotificationServer::Notify(const QString& appName, uint replacesId, const QString& appIcon,
                                    const QString& summary, const QString& body,
                                    const QStringList& actions, const QVariantMap& hints,
                                    int expireTimeout) {
    if (replyWithFailure())
        return 0;
    const auto id = static_cast<uint>(received_.size()) + 1;
    received_.append(
        {appName, replacesId, appIcon, summary, body, actions, hints, expireTimeout, id});
    return id;
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

} // namespace quillfen::test
