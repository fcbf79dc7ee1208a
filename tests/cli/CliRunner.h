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

// Runs the quillfen-cli under test and collects both its output streams;
// `whileRunning` is called on a thread of its own with the child's id.
CliOutcome runCli(const std::vector<std::string>& args, Privileges privileges = Privileges::kept,
                  const std::function<void(pid_t)>& whileRunning = {});

// Runs it with standard error on a terminal; returns what the terminal received.
std::string terminalOutput(const std::vector<std::string>& args);

// Copies a prepared store from the test data into `dataHome`/Quillfen.
void copyStore(const std::string& fixture, const std::filesystem::path& dataHome);

} // namespace quillfen::test
