#pragma once

#include "engine/SyncEngine.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace quillfen::test {

// Sets a file's modification time (links not followed).
void setModified(const std::filesystem::path& path, long seconds, long nanoseconds = 0);
struct timespec modifiedOf(const std::filesystem::path& path);

// The names in a folder that look like the engine's temporary files.
std::vector<std::string> temporaryFilesIn(const std::filesystem::path& folder);

// Collects what an engine reports.
struct Recorder {
    std::vector<SyncProgress> progress;
    std::vector<std::string> lines;
    void attach(SyncEngine& engine);
    bool logged(const std::string& line) const;
};

// Runs `body` in a child process that has dropped root's privileges, so that
// permission bits take effect; returns the child's exit status. `folders`
// (and their parents) are opened to everyone first.
int runAsNobody(const std::vector<std::filesystem::path>& folders,
                const std::function<int()>& body);

} // namespace quillfen::test
