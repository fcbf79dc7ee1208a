#include "services/InotifyTree.h"

#include "ChildProcess.h"
#include "TempDir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <string>
#include <unistd.h>

namespace quillfen {
namespace {

bool writeProcFile(const char* path, const std::string& text) {
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    const bool written =
        fd >= 0 && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return written;
}

TEST(InotifyTreeTest, WatchLimitLeavesWhatCouldBeWatchedAndSaysSoOnce) {
    test::TempDir dir;
    for (int i = 0; i < 10; ++i)
        std::filesystem::create_directories(dir / "tree" / ("f" + std::to_string(i)) / "sub");
    const auto errors = dir / "stderr.txt";
    const auto outcome = test::runInChild([&]() -> std::string {
        // In a user namespace of its own a process may lower the inotify
        // watch limit (here to four) for itself alone.
        if (::unshare(CLONE_NEWUSER) != 0 || !writeProcFile("/proc/self/uid_map", "0 0 1") ||
            !writeProcFile("/proc/sys/user/max_inotify_watches", "4"))
            return "cannot limit";
        ::alarm(30);
        ::dup2(::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644),
               STDERR_FILENO);
        InotifyTree tree;
        if (!tree.open(dir / "tree", {}))
            return "not opened";
        while (tree.walkSome(std::chrono::seconds(1))) {
        }
        const bool rootWatched = tree.isRootWatched();
        test::writeFile(dir / "tree/top.txt", "x");
        return rootWatched && tree.readEvents() ? "root watched" : "root not watched";
    });
    if (outcome == "cannot limit")
        GTEST_SKIP() << "user namespaces are not available here";
    EXPECT_EQ(outcome, "root watched");

    const auto text = test::readFile(errors);
    const auto first = text.find("limit of inotify watches");
    EXPECT_NE(first, std::string::npos) << text;
    EXPECT_EQ(text.find("limit of inotify watches", first + 1), std::string::npos) << text;
    EXPECT_NE(text.find((dir / "tree").string()), std::string::npos) << text;
}

} // namespace
} // namespace quillfen
