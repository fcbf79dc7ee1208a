#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

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
        QString appName;
        uint replacesId = 0;
        QString appIcon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        int expireTimeout = 0;
        uint id = 0; // what the server answered
    };

    // Throws std::runtime_error when the name or the object cannot be registered.
    explicit FakeNotificationServer(QDBusConnection connection);
    ~FakeNotificationServer() override;

    const QList<Notification>& received() const { return received_; }

    // From now on every call is answered with this D-Bus error, as a broken server would.
    void failWith(const QString& errorName, const QString& message) {
        errorName_ = errorName;
        errorMessage_ = message;
    }

public slots: // the part of the D-Bus interface the application calls
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int expireTimeout);
    QString GetServerInformation(QString& vendor, QString& version, QString& specVersion);

private:
    bool replyWithFailure();

    QDBusConnection connection_;
    QList<Notification> received_;
    QString errorName_;
    QString errorMessage_;
};

} // namespace quillfen::test
