#include "engine/TemporaryFile.h"

#include "engine/FileSystemError.h"
#include "engine/SyncError.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>
#include <vector>

namespace quillfen {
namespace {

constexpr std::string_view kPrefix = ".quillfen-";
constexpr std::string_view kSuffix = ".tmp";
constexpr std::string_view kAlphabet = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kRandomLength = 8;

std::mutex& registryMutex() {
    static std::mutex mutex;
    return mutex;
}

std::vector<const TemporaryFile*>& registry() {
    static std::vector<const TemporaryFile*> files;
    return files;
}

// How this process gives a file without a name its name: through the
// descriptor itself, which needs CAP_DAC_READ_SEARCH, or through /proc.
enum class LinkMethod { unknown, emptyPath, procSelf, none };

std::atomic<LinkMethod>& linkMethod() {
    static std::atomic<LinkMethod> method{LinkMethod::unknown};
    return method;
}

bool linkWith(LinkMethod method, int fd, int folder, const char* name) {
    if (method == LinkMethod::emptyPath)
        return ::linkat(fd, "", folder, name, AT_EMPTY_PATH) == 0;
    char path[32];
    std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
    return ::linkat(AT_FDCWD, path, folder, name, AT_SYMLINK_FOLLOW) == 0;
}

// The errors of a method that does not work here, as opposed to a target
// that cannot take the name.
bool methodRefused(int errorNumber) {
    return errorNumber == ENOENT || errorNumber == EPERM || errorNumber == EACCES;
}

} // namespace

TemporaryFile::TemporaryFile(int folder, FileDescriptor fd, std::mt19937_64& random)
    : folder_(folder), fd_(std::move(fd)), random_(random) {}

std::unique_ptr<TemporaryFile> TemporaryFile::createUnnamed(int folder, mode_t mode,
                                                            std::mt19937_64& random) {
    if (linkMethod() == LinkMethod::none) {
        errno = EOPNOTSUPP;
        return nullptr;
    }
    FileDescriptor fd(::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
    if (!fd.isOpen())
        return nullptr;
    std::unique_ptr<TemporaryFile> file(new TemporaryFile(folder, std::move(fd), random));
    // Learn how to name such a file while it is still empty: this one takes
    // a random name now and is renamed into place later.
    if (linkMethod() == LinkMethod::unknown && !file->takeRandomName())
        return nullptr;
    return file;
}

std::unique_ptr<TemporaryFile> TemporaryFile::createNamed(int folder, mode_t mode,
                                                          std::mt19937_64& random) {
    for (;;) {
        auto name = randomName(random);
        FileDescriptor fd(::openat(folder, name.c_str(),
                                   O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
        if (fd.isOpen()) {
            std::unique_ptr<TemporaryFile> file(new TemporaryFile(folder, std::move(fd), random));
            file->name_ = std::move(name);
            file->registerName();
            return file;
        }
        if (errno != EEXIST)
            return nullptr;
    }
}

TemporaryFile::~TemporaryFile() {
    if (!name_.empty()) {
        const std::lock_guard lock(registryMutex());
        std::erase(registry(), this);
    }
    fd_.reset();
    if (!placed_ && !name_.empty())
        ::unlinkat(folder_, name_.c_str(), 0);
}

void TemporaryFile::registerName() {
    const std::lock_guard lock(registryMutex());
    registry().push_back(this);
}

bool TemporaryFile::linkAs(const std::string& name) const {
    const auto known = linkMethod().load();
    if (known == LinkMethod::none) {
        errno = EOPNOTSUPP;
        return false;
    }
    // The method learned first may stop working for the process (one that
    // gave up a privilege): the other one is tried then.
    const bool procFirst = known == LinkMethod::procSelf;
    for (const auto method : {procFirst ? LinkMethod::procSelf : LinkMethod::emptyPath,
                              procFirst ? LinkMethod::emptyPath : LinkMethod::procSelf}) {
        if (linkWith(method, fd_.get(), folder_, name.c_str())) {
            linkMethod() = method;
            return true;
        }
        if (!methodRefused(errno))
            return false; // the method may work; this name cannot be had
    }
    if (known == LinkMethod::unknown) {
        linkMethod() = LinkMethod::none;
        errno = EOPNOTSUPP;
    }
    return false;
}

bool TemporaryFile::takeRandomName() {
    for (;;) {
        auto name = randomName(random_);
        if (linkAs(name)) {
            name_ = std::move(name);
            registerName();
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
}

void TemporaryFile::place(const std::string& target, const FileLocation& targetPath,
                          const std::function<void()>& clearFolder) {
    if (name_.empty()) {
        if (linkAs(target)) {
            placed_ = true;
            return;
        }
        // Something stands there by now: replace it as a named file would.
        if (errno != EEXIST || !takeRandomName())
            throw FileSystemError(errno, targetPath.path());
    }
    replace(target, targetPath, clearFolder);
}

void TemporaryFile::replace(const std::string& target, const FileLocation& targetPath,
                            const std::function<void()>& clearFolder) {
    const auto rename = [&] {
        return ::renameat(folder_, name_.c_str(), folder_, target.c_str()) == 0;
    };
    if (!rename()) {
        // EISDIR: a folder stands at the target.
        if (errno != EISDIR)
            throw FileSystemError(errno, targetPath.path());
        if (!clearFolder)
            throw SyncError::folderInTheWay(targetPath.path());
        clearFolder();
        if (!rename()) {
            if (errno == EISDIR)
                throw SyncError::folderInTheWay(targetPath.path());
            throw FileSystemError(errno, targetPath.path());
        }
    }
    placed_ = true;
}

std::string TemporaryFile::randomName(std::mt19937_64& random) {
    std::string name(kPrefix);
    std::uint64_t bits = random();
    for (std::size_t at = 0; at < kRandomLength; ++at, bits /= kAlphabet.size())
        name += kAlphabet[bits % kAlphabet.size()];
    return name += kSuffix;
}

bool TemporaryFile::isTemporaryName(std::string_view name) {
    if (name.size() != kPrefix.size() + kRandomLength + kSuffix.size() ||
        !name.starts_with(kPrefix) || !name.ends_with(kSuffix))
        return false;
    const auto random = name.substr(kPrefix.size(), kRandomLength);
    return random.find_first_not_of(kAlphabet) == std::string_view::npos;
}

void TemporaryFile::removeAll() {
    // Under the lock no file can go away; one renamed meanwhile is simply no
    // longer found under its temporary name.
    const std::lock_guard lock(registryMutex());
    for (const auto* file : registry())
        ::unlinkat(file->folder_, file->name_.c_str(), 0);
}

} // namespace quillfen
