#include "EngineTestSupport.h"

#include "TempDir.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>

namespace quillfen::test {
void setModified(const std::filesystem::path& path, long seconds, long nanoseconds) {
    const struct timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

struct timespec modifiedOf(const std::filesystem::path& path) {
    struct stat status {};
    ::lstat(path.c_str(), &status);
    return status.st_mtim;
}

std::vector<std::string> temporaryFilesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        const auto name = entry.path().filename().string();
        if (name.starts_with(".quillfen-"))
            names.push_back(name);
    }
    return names;
}

std::vector<std::string> planOf(const std::vector<DiffItem>& items) {
    std::vector<std::string> lines;
    for (const auto& item : items)
        lines.push_back(toString(item.action) + ' ' + item.relativePath);
    return lines;
}

std::vector<std::string> deletionsOf(const std::vector<DiffItem>& items) {
    std::vector<std::string> paths;
    for (const auto& item : items)
        if (item.action == DiffItem::Action::remove)
            paths.push_back(item.relativePath);
    std::ranges::sort(paths);
    return paths;
}

std::string EngineTest::runAsNobody(const std::vector<std::filesystem::path>& folders,
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

void Recorder::attach(SyncEngine& engine) {
    engine.onProgress = [this](const SyncProgress& value) {
        progress.push_back(value);
    };
    engine.onLog = [this](const std::string& line) {
        lines.push_back(line);
    };
}

bool Recorder::logged(const std::string& line) const {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

void makeDeepChain(const std::filesystem::path& parent, const std::string& component, int depth,
                   const std::string& fileName) {
    // Relative steps from a changed working folder reach past PATH_MAX.
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(parent);
    for (int level = 0; level < depth; ++level) {
        std::filesystem::create_directory(component);
        std::filesystem::current_path(component);
        writeFile(fileName, "");
    }
    std::filesystem::current_path(previous);
}

bool removeDeepTree(const std::filesystem::path& path) {
    return std::system(("rm -rf '" + path.string() + "'").c_str()) == 0;
}

} // namespace quillfen::test
