#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusError>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include <stdexcept>

namespace quillfen::test {

// Owns org.freedesktop.Notifications on the connection it is given (one from
// PrivateSessionBus, not the client's, so calls travel through the daemon) and
// records every Notify call instead of showing anything. Wait for calls with
// QTest::qWaitFor (QTRY_* macros report to QTest, not GoogleTest).
class FakeNotificationServer : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Notification {
        QString appName, appIcon, summary, body;
        uint replacesId = 0;
        QStringList actions;
        QVariantMap hints;
        int expireTimeout = 0;
        uint id = 0; // what the server answered
    };

    // Throws std::runtime_error when the name or the object cannot be registered.
    explicit FakeNotificationServer(QDBusConnection connection) : connection_(connection) {
        if (!connection_.registerObject(kPath, this, QDBusConnection::ExportAllSlots) ||
            !connection_.registerService(kName))
            throw std::runtime_error("cannot serve notifications: " +
                                     connection_.lastError().message().toStdString());
    }
    ~FakeNotificationServer() override {
        connection_.unregisterService(kName);
        connection_.unregisterObject(kPath);
    }

    const QList<Notification>& received() const { return received_; }

    // From now on every call is answered with this D-Bus error, as a broken server would.
    void failWith(const QString& errorName, const QString& message) {
        errorName_ = errorName;
        errorMessage_ = message;
    }

public slots: // the part of the D-Bus interface the application calls
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int expireTimeout) {
        if (replyWithFailure())
            return 0;
        const auto id = static_cast<uint>(received_.size()) + 1;
        received_.append(
            {appName, appIcon, summary, body, replacesId, actions, hints, expireTimeout, id});
        return id;
    }
    QString GetServerInformation(QString& /*vendor*/, QString& /*version*/,
                                 QString& /*protocolVersion*/) {
        return replyWithFailure() ? QString() : QStringLiteral("fake-notification-server");
    }

private:
    bool replyWithFailure() {
        if (!errorName_.isEmpty())
            sendErrorReply(errorName_, errorMessage_);
        return !errorName_.isEmpty();
    }

    inline static const QString kName = QStringLiteral("org.freedesktop.Notifications");
    inline static const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
    QDBusConnection connection_;
    QList<Notification> received_;
    QString errorName_;
    QString errorMessage_;
};

} // namespace quillfen::test
