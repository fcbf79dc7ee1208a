#pragma once

#include "TempDir.h"

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace quillfen::test {

// A dbus-daemon of the test's own on a socket in a temporary folder, so no test
// reaches the user's session bus. It has no service files (nothing is ever
// auto-started) and lets every connection own any name. The destructor closes
// the connections made through connect() and ends the daemon; construction
// throws std::runtime_error when the daemon cannot start.
class PrivateSessionBus {
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    // A new connection with its own unique name, so a service and its client
    // talk through the daemon.
    QDBusConnection connect();

private:
    TempDir folder_;
    QProcess daemon_;
    QString address_;
    QStringList connectionNames_;
};

} // namespace quillfen::test
