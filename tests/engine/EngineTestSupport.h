#pragma once

#include "ChildProcess.h"
#include "TempDir.h"
#include "engine/SyncEngine.h"
#include "engine/SyncError.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quillfen::test {

// Sets a file's modification time (links not followed).
void setModified(const std::filesystem::path& path, long seconds, long nanoseconds = 0);
struct timespec modifiedOf(const std::filesystem::path& path);

// The names in a folder that look like the engine's temporary files.
std::vector<std::string> temporaryFilesIn(const std::filesystem::path& folder);

// What `call` threw as a SyncError; empty when it threw none.
template <typename Call> std::string errorOf(Call&& call) {
    try {
        call();
    } catch (const SyncError& error) {
        return error.what();
    }
    return "";
}

// A plan as lines such as "copy a/b" and "delete c", in its order.
std::vector<std::string> planOf(const std::vector<DiffItem>& items);
// The paths a plan deletes, sorted.
std::vector<std::string> deletionsOf(const std::vector<DiffItem>& items);

// Collects what an engine reports.
struct Recorder {
    std::vector<SyncProgress> progress;
    std::vector<std::string> lines;
    void attach(SyncEngine& engine);
    bool logged(const std::string& line) const;
};

// A fresh folder for "src" and "dst", and an engine whose reports are kept.
class EngineTest : public ::testing::Test {
protected:
    EngineTest() { recorder.attach(engine); }
    SyncResult run(const SyncOptions& options = {}, std::stop_token stop = {}) {
        return engine.sync(root / "src", root / "dst", options, stop);
    }
    // Runs as `nobody` once `folders` are open to everyone: what the run
    // logged, a line each, then "<deleted> deleted, <failed> failed".
    std::string runAsNobody(const std::vector<std::filesystem::path>& folders,
                            const SyncOptions& options);

    TempDir root;
    SyncEngine engine;
    Recorder recorder;
};

// Builds `depth` nested folders named `component` below `parent`, with an
// empty `fileName` in each; the chain may reach past PATH_MAX.
void makeDeepChain(const std::filesystem::path& parent, const std::string& component, int depth,
                   const std::string& fileName);

// Removes a tree of any depth (std::filesystem::remove_all fails past PATH_MAX).
bool removeDeepTree(const std::filesystem::path& path);

} // namespace quillfen::test
