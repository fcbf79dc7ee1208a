#pragma once

#include "ChildProcess.h"
#include "TempDir.h"
#include "engine/SyncEngine.h"
#include "engine/SyncError.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace quillfen::test {

// Sets a file's modification time (links not followed).
inline void setModified(const std::filesystem::path& path, long seconds, long nanoseconds = 0) {
    const struct timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

inline struct timespec modifiedOf(const std::filesystem::path& path) {
    struct stat status {};
    ::lstat(path.c_str(), &status);
    return status.st_mtim;
}

// The names in a folder's tree that look like the engine's temporary files.
inline std::vector<std::string> temporaryFilesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.path().filename().string().starts_with(".quillfen-"))
            names.push_back(entry.path().filename().string());
    return names;
}

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
inline std::vector<std::string> planOf(const std::vector<DiffItem>& items) {
    std::vector<std::string> lines;
    for (const auto& item : items)
        lines.push_back(toString(item.action) + ' ' + item.relativePath);
    return lines;
}

// The paths a plan deletes, sorted.
inline std::vector<std::string> deletionsOf(const std::vector<DiffItem>& items) {
    std::vector<std::string> paths;
    for (const auto& item : items)
        if (item.action == DiffItem::Action::remove)
            paths.push_back(item.relativePath);
    std::ranges::sort(paths);
    return paths;
}

// What an engine reported.
struct Recorder {
    std::vector<SyncProgress> progress;
    std::vector<std::string> lines;
    bool logged(const std::string& line) const { return std::ranges::count(lines, line) > 0; }
};

// A fresh folder for "src" and "dst", and an engine whose reports are kept.
class EngineTest : public ::testing::Test {
protected:
    EngineTest() {
        engine.onProgress = [this](const SyncProgress& value) {
            recorder.progress.push_back(value);
        };
        engine.onLog = [this](const std::string& line) {
            recorder.lines.push_back(line);
        };
    }
    SyncResult run(const SyncOptions& options = {}, std::stop_token stop = {}) {
        return engine.sync(root / "src", root / "dst", options, stop);
    }
    // Runs as `nobody` once `folders` are open to everyone: what the run
    // logged, a line each, then "<deleted> deleted, <failed> failed".
    std::string runAsNobody(const std::vector<std::filesystem::path>& folders,
                            const SyncOptions& options) {
        return test::runAsNobody(folders, [&] {
            recorder.lines.clear();
            const auto result = run(options);
            std::string told;
            for (const auto& line : recorder.lines)
                told += line + '\n';
            return told + std::to_string(result.filesDeleted) + " deleted, " +
                   std::to_string(result.failedCount) + " failed";
        });
    }

    TempDir root;
    SyncEngine engine;
    Recorder recorder;
};

} // namespace quillfen::test
