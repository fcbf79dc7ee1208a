#include "PrivateSessionBus.h"

#include <QDBusError>

#include <atomic>
#include <stdexcept>

namespace quillfen::test {
namespace {

constexpr int kStartTimeoutMs = 10000;

// A session bus without <servicedir>: a name nobody owns fails at once
// instead of starting whatever happens to be installed on the machine.
std::string configuration(const std::filesystem::path& socketFolder) {
    return R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=)" +
           socketFolder.string() + R"(</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";
}

QString nextConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("quillfen-test-bus-%1").arg(++counter);
}

} // namespace

PrivateSessionBus::PrivateSessionBus() {
    auto config = folder_.write("session.conf", configuration(folder_.path()));
    daemon_.setProgram(QStringLiteral("dbus-daemon"));
    daemon_.setArguments(
        {QStringLiteral("--config-file=") + QString::fromStdString(config.string()),
         QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    daemon_.start();
    if (!daemon_.waitForStarted(kStartTimeoutMs))
        throw std::runtime_error("cannot start dbus-daemon: " +
                                 daemon_.errorString().toStdString());
    while (!daemon_.canReadLine() && daemon_.waitForReadyRead(kStartTimeoutMs)) {
    }
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    if (address_.isEmpty()) {
        daemon_.kill();
        daemon_.waitForFinished();
        throw std::runtime_error("dbus-daemon printed no address: " +
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
    QString name = nextConnectionName();
    connectionNames_.append(name);
    auto connection = QDBusConnection::connectToBus(address_, name);
    if (!connection.isConnected())
        throw std::runtime_error("cannot connect to the private bus: " +
                                 connection.lastError().message().toStdString());
    return connection;
}

} // namespace quillfen::test
