#include "engine/TemporaryFile.h"

#include "engine/FileSystemError.h"
#include "engine/SyncError.h"

#include <algorithm>
#include <cerrno>
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

void TemporaryFile::place(const std::string& target, const std::filesystem::path& targetPath,
                          const std::function<void()>& clearFolder) {
    const auto rename = [&] {
        return ::renameat(folder_, name_.c_str(), folder_, target.c_str()) == 0;
    };
    if (!rename()) {
        // EISDIR: a folder stands at the target.
        if (errno != EISDIR)
            throw FileSystemError(errno, targetPath);
        if (!clearFolder)
            throw SyncError::folderInTheWay(targetPath);
        clearFolder();
        if (!rename()) {
            if (errno == EISDIR)
                throw SyncError::folderInTheWay(targetPath);
            throw FileSystemError(errno, targetPath);
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
