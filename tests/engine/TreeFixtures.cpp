#include "TreeFixtures.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quillfen::test {
namespace {

constexpr uid_t kNobody = 65534;

int openFolderAt(int parent, const char* name) {
    const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        throw std::runtime_error(std::string("cannot open folder ") + name);
    return fd;
}

void removeContentsAt(int folder) {
    DIR* listing = ::fdopendir(::dup(folder));
    if (listing == nullptr)
        throw std::runtime_error("cannot list a folder");
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        if (entry->d_type == DT_DIR) {
            const int child = openFolderAt(folder, name.c_str());
            removeContentsAt(child);
            ::close(child);
            ::unlinkat(folder, name.c_str(), AT_REMOVEDIR);
        } else {
            ::unlinkat(folder, name.c_str(), 0);
        }
    }
    ::closedir(listing);
}

} // namespace

void makeReachableByOthers(const std::filesystem::path& path) {
    for (auto folder = path; folder != folder.root_path(); folder = folder.parent_path()) {
        struct stat status;
        if (::stat(folder.c_str(), &status) == 0 && (status.st_mode & S_IXOTH) == 0)
            ::chmod(folder.c_str(), (status.st_mode & 07777) | S_IXOTH | S_IROTH);
    }
}

std::string runAsNobody(const std::function<std::string()>& work) {
    int channel[2];
    if (::pipe(channel) != 0)
        return "child failed";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        std::string output = "child failed";
        if (::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0) {
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
    ssize_t length;
    while ((length = ::read(channel[0], buffer, sizeof buffer)) > 0)
        output.append(buffer, static_cast<std::size_t>(length));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return output;
}

void makeDeepChain(const std::filesystem::path& parent, const std::string& component, int depth,
                   const std::string& fileName) {
    int folder = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int level = 0; level < depth; ++level) {
        if (::mkdirat(folder, component.c_str(), 0755) != 0 && errno != EEXIST)
            throw std::runtime_error("cannot create a nested folder");
        const int child = openFolderAt(folder, component.c_str());
        ::close(folder);
        folder = child;
        const int file = ::openat(folder, fileName.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (file < 0)
            throw std::runtime_error("cannot create a nested file");
        ::close(file);
    }
    ::close(folder);
}

void removeDeepTree(const std::filesystem::path& path) {
    const int folder = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0)
        return;
    removeContentsAt(folder);
    ::close(folder);
    ::rmdir(path.c_str());
}

} // namespace quillfen::test
