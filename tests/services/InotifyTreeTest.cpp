#include "services/InotifyTree.h"

#include "TempDir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace quillfen {
namespace {

constexpr int kCannotLimit = 77;

bool writeProcFile(const char* path, const std::string& text) {
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    const bool written =
        fd >= 0 && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return written;
}

// Runs in a forked child. In a user namespace of its own a process may lower
// the inotify watch limit (here to four) for itself alone.
int watchUnderLimit(const std::filesystem::path& root, const std::filesystem::path& errors) {
    if (::unshare(CLONE_NEWUSER) != 0 || !writeProcFile("/proc/self/uid_map", "0 0 1") ||
        !writeProcFile("/proc/sys/user/max_inotify_watches", "4"))
        return kCannotLimit;
    ::dup2(::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644), STDERR_FILENO);
    InotifyTree tree;
    if (!tree.open(root, {}))
        return 1;
    while (tree.walkSome(std::chrono::seconds(1))) {
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
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::alarm(30);
        ::_exit(watchUnderLimit(dir / "tree", dir / "stderr.txt"));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == kCannotLimit)
        GTEST_SKIP() << "user namespaces are not available here";
    EXPECT_EQ(WEXITSTATUS(status), 0);

    const auto text = test::readFile(dir / "stderr.txt");
    const auto first = text.find("limit of inotify watches");
    EXPECT_NE(first, std::string::npos) << text;
    EXPECT_EQ(text.find("limit of inotify watches", first + 1), std::string::npos) << text;
    EXPECT_NE(text.find((dir / "tree").string()), std::string::npos) << text;
}

} // namespace
} // namespace quillfen
