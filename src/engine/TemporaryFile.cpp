#include "engine/TemporaryFile.h"

#include "engine/FileSystemError.h"
#include "engine/FolderCursor.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quillfen {
namespace {

std::mutex& registryMutex() {
    static std::mutex mutex;
    return mutex;
}

std::vector<const TemporaryFile*>& registry() {
    static std::vector<const TemporaryFile*> files;
    return files;
}

} // namespace

TemporaryFile::TemporaryFile(int folder, std::string name, int fd)
    : folder_(folder), name_(std::move(name)), fd_(fd) {
    const std::lock_guard lock(registryMutex());
    registry().push_back(this);
}

TemporaryFile::~TemporaryFile() {
    {
        const std::lock_guard lock(registryMutex());
        std::erase(registry(), this);
    }
    fd_.reset();
    if (!placed_)
        ::unlinkat(folder_, name_.c_str(), 0);
}

void TemporaryFile::place(const std::string& target, const std::filesystem::path& targetPath) {
    if (::renameat(folder_, name_.c_str(), folder_, target.c_str()) != 0) {
        struct stat existing {};
        if (errno != EISDIR ||
            ::fstatat(folder_, target.c_str(), &existing, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISDIR(existing.st_mode))
            throw FileSystemError(errno, targetPath);
        FolderCursor::removeTree(folder_, target, targetPath);
        if (::renameat(folder_, name_.c_str(), folder_, target.c_str()) != 0)
            throw FileSystemError(errno, targetPath);
    }
    placed_ = true;
}

void TemporaryFile::removeAll() {
    // Under the lock no file can go away; one renamed meanwhile is simply no
    // longer found under its temporary name.
    const std::lock_guard lock(registryMutex());
    for (const auto* file : registry())
        ::unlinkat(file->folder_, file->name_.c_str(), 0);
}

} // namespace quillfen
