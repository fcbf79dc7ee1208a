#include "CliRunner.h"

#include "TempDir.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace quillfen::test {

void execCli(const std::vector<std::string>& args) {
    std::vector<char*> argv{const_cast<char*>(QUILLFEN_CLI_PATH)};
    for (const auto& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execv(QUILLFEN_CLI_PATH, argv.data());
    ::_exit(127);
}

CliOutcome runCli(const std::vector<std::string>& args, bool asNobody,
                  const std::function<void(pid_t)>& whileRunning) {
    // Files rather than pipes: neither stream can fill up and stall the child.
    const TempDir capture;
    const auto out = capture / "out";
    const auto err = capture / "err";
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT, 0600), STDOUT_FILENO);
        ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT, 0600), STDERR_FILENO);
        if (asNobody &&
            (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(127);
        execCli(args);
    }
    if (whileRunning)
        std::thread(whileRunning, child).join();
    int status = 0;
    ::waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(out), readFile(err)};
}

} // namespace quillfen::test
