#include "app/SingleInstanceGuard.h"

#include "TempDir.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace quillfen {
namespace {

using namespace std::chrono_literals;
using test::TempDir;

class SingleInstanceGuardTest : public testing::Test {
protected:
    TempDir dir;
    std::string socketPath = dir / "quillfen.socket";
    QString socket = QString::fromStdString(socketPath);
    SingleInstanceGuard primary{socket, 500ms};
    QSignalSpy shown{&primary, &SingleInstanceGuard::showRequested};
};

TEST_F(SingleInstanceGuardTest, TakesOverAStaleSocketAndLaterLaunchesAskItToShow) {
    // A socket file with nobody listening, as a crashed instance leaves.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, sizeof(address.sun_path) - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);

    ASSERT_TRUE(primary.tryBecomePrimary());
    struct stat status {};
    ASSERT_EQ(::lstat(socketPath.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 077, 0u); // nobody else may connect
    for (int launch = 1; launch <= 2; ++launch) {
        EXPECT_FALSE(SingleInstanceGuard(socket, 500ms).tryBecomePrimary());
        ASSERT_TRUE(QTest::qWaitFor([&] { return shown.count() == launch; }, 5000));
    }
}

} // namespace
} // namespace quillfen
