#pragma once

#include "TempDir.h"

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace quillfen::test {

// A dbus-daemon of the test's own, so no test reaches the user's session bus:
// no service files (nothing is auto-started), any connection may own any name.
// Construction throws std::runtime_error when the daemon cannot start.
class PrivateSessionBus {
public:
    PrivateSessionBus();
    ~PrivateSessionBus();

    // A new connection of its own, so a service and its client talk through the daemon.
    QDBusConnection connect();

private:
    TempDir folder_;
    QProcess daemon_;
    QString address_;
    QStringList connectionNames_;
};

} // namespace quillfen::test
