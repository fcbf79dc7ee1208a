#include "services/InotifyTree.h"

#include "TempDir.h"

#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace quillfen {
namespace {

using namespace std::chrono_literals;

constexpr int kCannotLimit = 77;

bool writeProcFile(const char* path, const char* text) {
    int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool written = ::write(fd, text, std::strlen(text)) == static_cast<ssize_t>(std::strlen(text));
    ::close(fd);
    return written;
}

// In a user namespace of its own a process may lower the inotify watch
// limit for itself alone, without touching the machine's setting.
bool limitWatchesTo(const char* count) {
    return ::unshare(CLONE_NEWUSER) == 0 && writeProcFile("/proc/self/uid_map", "0 0 1") &&
           writeProcFile("/proc/sys/user/max_inotify_watches", count);
}

// Runs in the forked child: watches the tree under a limit of four watches.
int watchUnderLimit(const std::filesystem::path& root, const std::filesystem::path& errors) {
    if (!limitWatchesTo("4"))
        return kCannotLimit;
    int errorFd = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ::dup2(errorFd, STDERR_FILENO);
    InotifyTree tree;
    if (!tree.open(root, {}))
        return 1;
    while (tree.walkSome(1s)) {
    }
    if (!tree.isRootWatched())
        return 2;
    test::writeFile(root / "top.txt", "x");
    return tree.readEvents() ? 0 : 3;
}

TEST(InotifyTreeTest, WatchLimitLeavesWhatCouldBeWatchedAndSaysSoOnce) {
    test::TempDir dir;
    for (int i = 0; i < 10; ++i)
        std::filesystem::create_directories(dir / "tree" / ("f" + std::to_string(i)) / "sub");
    auto errors = dir / "stderr.txt";

    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::alarm(30);
        ::_exit(watchUnderLimit(dir / "tree", errors));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == kCannotLimit)
        GTEST_SKIP() << "user namespaces are not available here";
    EXPECT_EQ(WEXITSTATUS(status), 0);

    auto text = test::readFile(errors);
    auto first = text.find("limit of inotify watches");
    EXPECT_NE(first, std::string::npos) << text;
    EXPECT_EQ(text.find("limit of inotify watches", first + 1), std::string::npos) << text;
    EXPECT_NE(text.find((dir / "tree").string()), std::string::npos) << text;
}

} // namespace
} // namespace quillfen
