#include "PrivateSessionBus.h"

#include <QDBusError>

#include <atomic>
#include <stdexcept>

namespace quillfen::test {

constexpr int kStartTimeoutMs = 10000;

PrivateSessionBus::PrivateSessionBus() {
    const auto config =
        folder_.write("session.conf",
                      "<busconfig><type>session</type><listen>unix:dir=" + folder_.path().string() +
                          "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow "
                          "send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                          "<allow own=\"*\"/></policy></busconfig>\n");
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--config-file=") + QString::fromStdString(config),
                   QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    while (!daemon_.canReadLine() && daemon_.waitForReadyRead(kStartTimeoutMs)) {
    }
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    if (address_.isEmpty()) {
        daemon_.kill();
        daemon_.waitForFinished();
        throw std::runtime_error(
            "dbus-daemon printed no address: " + daemon_.errorString().toStdString() + " " +
            daemon_.readAllStandardError().toStdString());
    }
}

PrivateSessionBus::~PrivateSessionBus() {
    for (const auto& name : connectionNames_)
        QDBusConnection::disconnectFromBus(name);
    daemon_.terminate();
    if (!daemon_.waitForFinished(kStartTimeoutMs))
        daemon_.kill();
    daemon_.waitForFinished();
}

QDBusConnection PrivateSessionBus::connect() {
    static std::atomic<int> counter{0};
    connectionNames_.append(QStringLiteral("quillfen-test-bus-%1").arg(++counter));
    auto connection = QDBusConnection::connectToBus(address_, connectionNames_.back());
    if (!connection.isConnected())
        throw std::runtime_error("cannot connect to the private bus: " +
                                 connection.lastError().message().toStdString());
    return connection;
}

} // namespace quillfen::test
