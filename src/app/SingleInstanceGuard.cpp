#include "app/SingleInstanceGuard.h"

#include <QDir>
#include <QLocalSocket>
#include <QLockFile>
#include <QtGlobal>

#include <unistd.h>

namespace quillfen {
namespace {

constexpr char kShowMessage[] = "show\n";
constexpr qint64 kShowMessageSize = sizeof(kShowMessage) - 1;

int milliseconds(std::chrono::milliseconds duration) {
    return static_cast<int>(duration.count());
}

} // namespace

SingleInstanceGuard::SingleInstanceGuard(QString socketPath, std::chrono::milliseconds waitTime,
                                         QObject* parent)
    : QObject(parent), socketPath_(std::move(socketPath)), waitTime_(waitTime) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstanceGuard::acceptConnections);
}

QString SingleInstanceGuard::defaultSocketPath() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return runtime + QStringLiteral("/quillfen.socket");
    return QDir::tempPath() + QStringLiteral("/quillfen-%1.socket").arg(::getuid());
}

bool SingleInstanceGuard::tryBecomePrimary() {
    // Two launches at the same moment must not both find no server, remove
    // each other's socket and both listen: the check and the listen happen
    // under a lock (a crashed holder's lock is taken over).
    QLockFile lock(socketPath_ + QStringLiteral(".lock"));
    // A lock held this long belongs to a launch that hangs; starting
    // unguarded beats refusing to start at all.
    if (!lock.tryLock(milliseconds(waitTime_)))
        return !askRunningInstanceToShow();
    if (askRunningInstanceToShow())
        return false;
    // Nobody answers: what is left at the path comes from a crashed instance.
    QLocalServer::removeServer(socketPath_);
    if (!server_.listen(socketPath_))
        qWarning("Quillfen: cannot listen on %s; a second start will not be detected",
                 qPrintable(socketPath_));
    return true;
}

bool SingleInstanceGuard::askRunningInstanceToShow() const {
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    if (!socket.waitForConnected(milliseconds(waitTime_)))
        return false;
    socket.write(kShowMessage, kShowMessageSize);
    socket.waitForBytesWritten(milliseconds(waitTime_));
    socket.disconnectFromServer();
    return true;
}

void SingleInstanceGuard::acceptConnections() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        // The message may have arrived before the connection was taken.
        readRequest(socket);
    }
}

void SingleInstanceGuard::readRequest(QLocalSocket* socket) {
    // Anything but the one short message is dropped; the buffer never grows
    // beyond it.
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kShowMessageSize)
            socket->abort();
        return;
    }
    if (socket->readLine(kShowMessageSize + 1) == kShowMessage)
        emit showRequested();
    socket->disconnectFromServer();
}

} // namespace quillfen
