#pragma once

#include "ChildProcess.h"

#include <filesystem>
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
// its output streams. `whileRunning`, when given, is called on a thread of its
// own with the child's process id (to send it a signal, say).
CliOutcome runCli(const std::vector<std::string>& args, Privileges privileges = Privileges::kept,
                  const std::function<void(pid_t)>& whileRunning = {});

// Runs the binary with standard error on a terminal and returns what the
// terminal received.
std::string terminalOutput(const std::vector<std::string>& args);

// Copies a prepared store from the test data into `dataHome`/Quillfen.
void copyStore(const std::string& fixture, const std::filesystem::path& dataHome);

} // namespace quillfen::test
