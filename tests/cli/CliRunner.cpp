#include "CliRunner.h"

#include "TempDir.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace quillfen::test {
namespace {

[[noreturn]] void execCli(const std::vector<std::string>& args) {
    std::vector<char*> argv{const_cast<char*>(QUILLFEN_CLI_PATH)};
    for (const auto& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execv(QUILLFEN_CLI_PATH, argv.data());
    ::_exit(127);
}

} // namespace

CliOutcome runCli(const std::vector<std::string>& args, Privileges privileges,
                  const std::function<void(pid_t)>& whileRunning) {
    // Files rather than pipes: neither stream can fill up and stall the child.
    const TempDir capture;
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(::open((capture / "out").c_str(), O_WRONLY | O_CREAT, 0600), STDOUT_FILENO);
        ::dup2(::open((capture / "err").c_str(), O_WRONLY | O_CREAT, 0600), STDERR_FILENO);
        if (privileges == Privileges::dropped && !dropPrivileges())
            ::_exit(127);
        execCli(args);
    }
    if (whileRunning)
        std::thread(whileRunning, child).join();
    int status = 0;
    ::waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(capture / "out"),
            readFile(capture / "err")};
}

std::string terminalOutput(const std::vector<std::string>& args) {
    int terminal = -1;
    const pid_t child = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) {
        ::dup2(::open("/dev/null", O_WRONLY), STDOUT_FILENO);
        execCli(args);
    }
    std::string output;
    char buffer[4096];
    for (ssize_t length; (length = ::read(terminal, buffer, sizeof buffer)) > 0;)
        output.append(buffer, static_cast<std::size_t>(length));
    ::waitpid(child, nullptr, 0);
    ::close(terminal);
    return output;
}

void copyStore(const std::string& fixture, const std::filesystem::path& dataHome) {
    std::filesystem::create_directories(dataHome / "Quillfen");
    std::filesystem::copy(QUILLFEN_TEST_DATA "/store/" + fixture, dataHome / "Quillfen");
}

} // namespace quillfen::test
