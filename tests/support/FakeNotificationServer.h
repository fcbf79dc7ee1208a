#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace quillfen::test {

// A desktop notification server for tests: owns org.freedesktop.Notifications
// at /org/freedesktop/Notifications on the connection it is given (normally
// one from PrivateSessionBus) and records every Notify call instead of
// showing anything. Register it on a connection other than the client's, so
// calls really travel through the bus daemon.
//
//     PrivateSessionBus bus;
//     FakeNotificationServer server(bus.connect());
//     ... post something through another bus.connect() ...
//     ASSERT_TRUE(QTest::qWaitFor([&] { return server.received().size() == 1; }));
//     EXPECT_EQ(server.received()[0].summary, "Sync Complete");
//
// Everything runs on the thread's event loop: wait with QTest::qWaitFor or a
// QSignalSpy on notified() (QTRY_* macros report to QTest, not GoogleTest).
class FakeNotificationServer : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    // One Notify call, argument by argument.
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
    explicit FakeNotificationServer(QDBusConnection connection, QObject* parent = nullptr);
    ~FakeNotificationServer() override;

    const QList<Notification>& received() const { return received_; }

    // From now on every call is answered with this D-Bus error, as a broken
    // server would.
    void failWith(const QString& errorName, const QString& message);

signals:
    void notified(); // after each recorded Notify call

public slots: // the D-Bus interface
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int expireTimeout);
    QStringList GetCapabilities();
    QString GetServerInformation(QString& vendor, QString& version, QString& specVersion);
    void CloseNotification(uint id);

private:
    bool replyWithFailure();

    QDBusConnection connection_;
    QList<Notification> received_;
    uint lastId_ = 0;
    QString errorName_;
    QString errorMessage_;
};

} // namespace quillfen::test
