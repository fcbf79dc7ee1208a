#include "PrivateSessionBus.h"

#include <QDBusError>

#include <atomic>
#include <stdexcept>

namespace quillfen::test {
namespace {

constexpr int kStartTimeoutMs = 10000;

std::string configuration(const std::filesystem::path& socketFolder) {
    return "<busconfig><type>session</type><listen>unix:dir=" + socketFolder.string() +
           "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
           "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
           "<allow own=\"*\"/></policy></busconfig>\n";
}

} // namespace

PrivateSessionBus::PrivateSessionBus() {
    const auto config = folder_.write("session.conf", configuration(folder_.path()));
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
    const QString name = QStringLiteral("quillfen-test-bus-%1").arg(++counter);
    connectionNames_.append(name);
    auto connection = QDBusConnection::connectToBus(address_, name);
    if (!connection.isConnected())
        throw std::runtime_error("cannot connect to the private bus: " +
                                 connection.lastError().message().toStdString());
    return connection;
}

} // namespace quillfen::test
