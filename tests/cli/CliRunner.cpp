#include "CliRunner.h"

#include <grp.h>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace quillfen::test {
namespace {

constexpr uid_t kNobody = 65534;

[[noreturn]] void execCli(const std::vector<std::string>& args, int outFd, int errFd,
                          bool asNobody) {
    ::dup2(outFd, STDOUT_FILENO);
    ::dup2(errFd, STDERR_FILENO);
    if (asNobody &&
        (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
        ::_exit(127);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(QUILLFEN_CLI_PATH));
    for (const auto& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execv(QUILLFEN_CLI_PATH, argv.data());
    ::_exit(127);
}

// Reads both pipes until both are closed, so that neither can fill up and
// stall the child.
void drain(int outFd, int errFd, CliOutcome& outcome) {
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    std::string* sinks[2] = {&outcome.out, &outcome.err};
    int open = 2;
    char buffer[65536];
    while (open > 0 && ::poll(fds, 2, -1) > 0) {
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            const ssize_t length = ::read(fds[i].fd, buffer, sizeof buffer);
            if (length > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(length));
            } else {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
}

} // namespace

CliOutcome runCli(const std::vector<std::string>& args, bool asNobody,
                  const std::function<void(pid_t)>& whileRunning) {
    int out[2];
    int err[2];
    CliOutcome outcome;
    if (::pipe(out) != 0 || ::pipe(err) != 0)
        return outcome;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(out[0]);
        ::close(err[0]);
        execCli(args, out[1], err[1], asNobody);
    }
    ::close(out[1]);
    ::close(err[1]);
    std::thread observer;
    if (whileRunning)
        observer = std::thread(whileRunning, child);
    drain(out[0], err[0], outcome);
    if (observer.joinable())
        observer.join();
    int status = 0;
    if (::waitpid(child, &status, 0) == child && WIFEXITED(status))
        outcome.exitStatus = WEXITSTATUS(status);
    return outcome;
}

} // namespace quillfen::test
