#include "app/SingleInstanceGuard.h"

#include "TempDir.h"

#include <QSignalSpy>

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace quillfen {
namespace {

using namespace std::chrono_literals;
using test::TempDir;

// Leaves a socket file with nobody listening, as a crashed instance would.
void leaveStaleSocket(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof(address.sun_path));
    path.copy(address.sun_path, path.size());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
}

TEST(SingleInstanceGuard, SecondLaunchAsksTheFirstToShowItself) {
    TempDir dir;
    const auto socket = QString::fromStdString(dir / "quillfen.socket");
    SingleInstanceGuard first(socket, 2s);
    QSignalSpy shown(&first, &SingleInstanceGuard::showRequested);
    ASSERT_TRUE(first.tryBecomePrimary());

    SingleInstanceGuard second(socket, 2s);
    EXPECT_FALSE(second.tryBecomePrimary());
    ASSERT_TRUE(shown.wait(5000));

    SingleInstanceGuard third(socket, 2s);
    EXPECT_FALSE(third.tryBecomePrimary());
    EXPECT_TRUE(shown.wait(5000));
    EXPECT_EQ(shown.count(), 2);
}

TEST(SingleInstanceGuard, TakesOverTheSocketOfACrashedInstance) {
    TempDir dir;
    const auto path = dir / "quillfen.socket";
    leaveStaleSocket(path);
    const auto socket = QString::fromStdString(path);

    SingleInstanceGuard guard(socket, 500ms);
    QSignalSpy shown(&guard, &SingleInstanceGuard::showRequested);
    ASSERT_TRUE(guard.tryBecomePrimary());
    EXPECT_FALSE(SingleInstanceGuard(socket, 500ms).tryBecomePrimary());
    EXPECT_TRUE(shown.wait(5000));
}

TEST(SingleInstanceGuard, IgnoresOtherMessages) {
    TempDir dir;
    const auto socket = QString::fromStdString(dir / "quillfen.socket");
    SingleInstanceGuard guard(socket, 500ms);
    QSignalSpy shown(&guard, &SingleInstanceGuard::showRequested);
    ASSERT_TRUE(guard.tryBecomePrimary());

    QLocalSocket client;
    client.connectToServer(socket);
    ASSERT_TRUE(client.waitForConnected(2000));
    client.write("quit\nshow\n");
    client.waitForBytesWritten(2000);
    EXPECT_FALSE(shown.wait(300));
}

TEST(SingleInstanceGuard, DefaultSocketIsPrivateToTheUser) {
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    TempDir runtime;
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime.path()));
    EXPECT_EQ(SingleInstanceGuard::defaultSocketPath(),
              QString::fromStdString(runtime / "quillfen.socket"));
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_TRUE(SingleInstanceGuard::defaultSocketPath().endsWith(
        QStringLiteral("/quillfen-%1.socket").arg(::getuid())));
    if (!saved.isNull())
        qputenv("XDG_RUNTIME_DIR", saved);
}

} // namespace
} // namespace quillfen
