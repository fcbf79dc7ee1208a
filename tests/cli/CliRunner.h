#pragma once

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace quillfen::test {

struct CliOutcome {
    int exitStatus = -1; // -1 when the process did not exit normally
    std::string out;
    std::string err;
};

// Runs the quillfen-cli binary under test with `args` and collects both of
// its output streams. With `asNobody` the child drops root privileges first,
// so that permission bits apply to it. `whileRunning`, when given, is called on
// a thread of its own with the child's process id (to send it a signal, say).
CliOutcome runCli(const std::vector<std::string>& args, bool asNobody = false,
                  const std::function<void(pid_t)>& whileRunning = {});

// Replaces a forked child with the binary under test.
[[noreturn]] void execCli(const std::vector<std::string>& args);

} // namespace quillfen::test
