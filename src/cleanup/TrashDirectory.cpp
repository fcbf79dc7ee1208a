#include "cleanup/TrashDirectory.h"

#include "cleanup/TrashInfo.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace quillfen {
namespace {

namespace fs = std::filesystem;

// Enough for any real collision streak; a longer one means something is wrong.
constexpr int kMaxNameAttempts = 10000;

// Creates `folder` (mode 0700) unless it exists, then checks that it is a
// real folder, not a link to one, owned by `owner` when one is given.
bool ensurePrivateFolder(const fs::path& folder, std::optional<uid_t> owner = std::nullopt) {
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat status {};
    if (::lstat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
        return false;
    return !owner || status.st_uid == *owner;
}

// Like `mkdir -p` with mode 0700 for what it creates; existing parts may be
// links (a user may keep the data folder elsewhere).
bool ensureFolderPath(const fs::path& folder) {
    struct stat status {};
    if (::stat(folder.c_str(), &status) == 0)
        return S_ISDIR(status.st_mode);
    const auto parent = folder.parent_path();
    if (parent != folder && !ensureFolderPath(parent))
        return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

bool writeAll(int fd, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const auto result = ::write(fd, text.data() + written, text.size() - written);
        if (result < 0 && errno == EINTR)
            continue;
        if (result <= 0)
            return false;
        written += static_cast<std::size_t>(result);
    }
    return true;
}

// Creates the info file exclusively, which reserves the name; false with
// errno EEXIST when the name is taken.
bool createInfoFile(const fs::path& file, const std::string& contents) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const bool written = writeAll(fd, contents);
    if (::close(fd) != 0 || !written) {
        const int error = errno;
        ::unlink(file.c_str());
        errno = written ? error : EIO;
        return false;
    }
    return true;
}

// rename(2) that never replaces an existing entry: an item left in files/
// without its info file must not be overwritten.
int renameNoReplace(const fs::path& from, const fs::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
    // File systems without RENAME_NOREPLACE: check first (the info file
    // already reserves the name against other well-behaved trashers).
    struct stat status {};
    if (::lstat(to.c_str(), &status) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::rename(from.c_str(), to.c_str());
}

} // namespace

TrashDirectory::TrashDirectory(fs::path root, fs::path pathBase)
    : root_(std::move(root)), pathBase_(std::move(pathBase)) {}

std::optional<TrashDirectory> TrashDirectory::withSubfolders(fs::path root, fs::path pathBase) {
    if (!ensurePrivateFolder(root / "files") || !ensurePrivateFolder(root / "info"))
        return std::nullopt;
    return TrashDirectory(std::move(root), std::move(pathBase));
}

std::optional<TrashDirectory> TrashDirectory::home(const fs::path& root) {
    if (!ensureFolderPath(root))
        return std::nullopt;
    return withSubfolders(root, {});
}

std::optional<TrashDirectory> TrashDirectory::forTopDirectory(const fs::path& topDirectory,
                                                              uid_t uid) {
    const auto uidText = std::to_string(uid);
    const auto shared = topDirectory / ".Trash";
    struct stat status {};
    // A link or a non-sticky folder could let another user read or swap
    // what we trash, so only the administrator's real sticky folder counts.
    if (::lstat(shared.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
        (status.st_mode & S_ISVTX) != 0 && ensurePrivateFolder(shared / uidText, uid)) {
        if (auto trash = withSubfolders(shared / uidText, topDirectory))
            return trash;
    }
    const auto own = topDirectory / (".Trash-" + uidText);
    if (!ensurePrivateFolder(own, uid))
        return std::nullopt;
    return withSubfolders(own, topDirectory);
}

std::string TrashDirectory::pathText(const fs::path& original) const {
    const std::string text = original.native();
    if (pathBase_.empty())
        return text;
    std::string base = pathBase_.native();
    if (base.back() != '/')
        base += '/';
    // Outside the top directory only an absolute location is meaningful.
    if (text.compare(0, base.size(), base) != 0)
        return text;
    return text.substr(base.size());
}

bool TrashDirectory::receive(const fs::path& original) const {
    const auto name = original.filename().native();
    const auto contents = trashInfoContents(pathText(original), std::time(nullptr));
    for (int attempt = 1; attempt <= kMaxNameAttempts; ++attempt) {
        const auto candidate = trashCandidateName(name, attempt);
        const auto infoFile = root_ / "info" / (candidate + ".trashinfo");
        if (!createInfoFile(infoFile, contents)) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        if (renameNoReplace(original, root_ / "files" / candidate) == 0)
            return true;
        const int error = errno;
        ::unlink(infoFile.c_str());
        if (error != EEXIST && error != ENOTEMPTY)
            return false;
    }
    return false;
}

} // namespace quillfen
