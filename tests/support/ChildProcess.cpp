#include "ChildProcess.h"

#include "TestEnvironment.h"

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quillfen::test {

bool dropPrivileges() {
    constexpr uid_t kNobody = 65534;
    return ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
}

std::string runInChild(const std::function<std::string()>& work, Privileges privileges) {
    int channel[2];
    if (::pipe(channel) != 0)
        return "child failed: no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        std::string output = "child failed: cannot drop privileges";
        try {
            if (privileges == Privileges::kept || dropPrivileges())
                output = work();
        } catch (const std::exception& error) {
            output = std::string("child failed: ") + error.what();
        } catch (...) {
            output = "child failed: an exception";
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
    int status = -1;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? output : "child failed: " + output;
}

void openToEveryone(const std::vector<std::filesystem::path>& folders) {
    const std::string top = isolatedRoot().string();
    for (const auto& folder : folders) {
        ::chmod(folder.c_str(), 0777);
        for (auto path = folder.parent_path(); path.string().starts_with(top);
             path = path.parent_path()) {
            struct stat status {};
            if (::stat(path.c_str(), &status) == 0)
                ::chmod(path.c_str(), (status.st_mode & 07777) | 0111);
        }
    }
}

std::string runAsNobody(const std::vector<std::filesystem::path>& folders,
                        const std::function<std::string()>& work) {
    openToEveryone(folders);
    return runInChild(work, Privileges::dropped);
}

} // namespace quillfen::test
