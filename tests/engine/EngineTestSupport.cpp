#include "EngineTestSupport.h"

#include "TempDir.h"
#include "TestEnvironment.h"

#include <algorithm>
#include <fcntl.h>
#include <grp.h>
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

std::string runAsNobody(const std::vector<std::filesystem::path>& folders,
                        const std::function<std::string()>& work) {
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
    int channel[2];
    if (::pipe(channel) != 0)
        return "child failed";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        std::string output = "child failed";
        if (::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0) {
            try {
                output = work();
            } catch (const std::exception& error) {
                output = std::string("child failed: ") + error.what();
            }
        }
        const ssize_t written = ::write(channel[1], output.data(), output.size());
        ::_exit(written == static_cast<ssize_t>(output.size()) ? 0 : 1);
    }
    ::close(channel[1]);
    std::string output;
    char buffer[4096];
    for (ssize_t length; (length = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, static_cast<std::size_t>(length));
    ::close(channel[0]);
    ::waitpid(child, nullptr, 0);
    return output;
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

void removeDeepTree(const std::filesystem::path& path) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::execlp("rm", "rm", "-rf", path.c_str(), nullptr);
        ::_exit(127);
    }
    ::waitpid(child, nullptr, 0);
}

} // namespace quillfen::test
