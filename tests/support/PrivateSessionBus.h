#pragma once

#include "TempDir.h"

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace quillfen::test {

// A D-Bus session bus of the test's own: a dbus-daemon started on a socket in
// a temporary folder, with no service files (nothing is ever auto-started)
// and a policy that lets every connection own any name. Tests connect to it
// with connect() and hand those connections to the code under test, so no
// test reaches the user's real session bus.
//
//     PrivateSessionBus bus;
//     FakeNotificationServer server(bus.connect());
//     NotificationService service(bus.connect());
//
// The destructor closes every connection made through connect() and ends the
// daemon. Construction throws std::runtime_error when the daemon cannot start.
class PrivateSessionBus {
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    // The daemon's address, as DBUS_SESSION_BUS_ADDRESS would hold it.
    const QString& address() const { return address_; }

    // A new, separate connection to this bus (each has its own unique name,
    // so a service and its client can talk through the daemon).
    QDBusConnection connect();

private:
    TempDir folder_;
    QProcess daemon_;
    QString address_;
    QStringList connectionNames_;
};

} // namespace quillfen::test
