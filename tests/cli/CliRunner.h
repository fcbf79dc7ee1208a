#pragma once

#include <string>
#include <vector>

namespace quillfen::test {

struct CliOutcome {
    int exitStatus = -1; // -1 when the process did not exit normally
    std::string out;
    std::string err;
};

// Runs the quillfen-cli binary under test with `args` and collects both of
// its output streams. With `asNobody` the child drops root privileges first,
// so that permission bits apply to it.
CliOutcome runCli(const std::vector<std::string>& args, bool asNobody = false);

} // namespace quillfen::test
