#include "EngineTestSupport.h"

#include "TestEnvironment.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

int runAsNobody(const std::vector<std::filesystem::path>& folders,
                const std::function<int()>& body) {
    // Only the test's own folders change: from each folder up to the
    // process's isolated root.
    const auto& top = isolatedRoot();
    for (const auto& folder : folders) {
        ::chmod(folder.c_str(), 0777);
        for (auto path = folder.parent_path(); path.string().starts_with(top.string());
             path = path.parent_path()) {
            struct stat status {};
            if (::stat(path.c_str(), &status) == 0)
                ::chmod(path.c_str(), (status.st_mode & 07777) | 0111);
        }
    }
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(99);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace quillfen::test
