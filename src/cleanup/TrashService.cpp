#include "cleanup/TrashService.h"

#include "cleanup/TrashDirectory.h"

#include <cstdlib>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace quillfen {
namespace {

namespace fs = std::filesystem;

// The item's absolute location with its parent folder resolved (links and
// "..") but the item itself untouched; none for "/", "." or "..".
std::optional<fs::path> originalLocation(const fs::path& item) {
    std::error_code error;
    auto location = fs::absolute(item, error);
    if (error)
        return std::nullopt;
    while (!location.has_filename() && location.has_relative_path())
        location = location.parent_path();
    const auto name = location.filename();
    if (name.empty() || name == "." || name == "..")
        return std::nullopt;
    const std::unique_ptr<char, decltype(&std::free)> parent(
        ::realpath(location.parent_path().c_str(), nullptr), &std::free);
    if (!parent)
        return std::nullopt;
    return fs::path(parent.get()) / name;
}

} // namespace

TrashService::TrashService(fs::path homeTrash) : homeTrash_(std::move(homeTrash)) {}

fs::path TrashService::topDirectoryOf(const fs::path& folder) {
    struct stat status {};
    if (::stat(folder.c_str(), &status) != 0)
        return folder;
    auto top = folder;
    while (top.has_relative_path()) {
        const auto parent = top.parent_path();
        struct stat parentStatus {};
        if (::stat(parent.c_str(), &parentStatus) != 0 || parentStatus.st_dev != status.st_dev)
            break;
        top = parent;
    }
    return top;
}

std::optional<dev_t> TrashService::homeTrashDevice() const {
    for (auto folder = homeTrash_;; folder = folder.parent_path()) {
        struct stat status {};
        if (::stat(folder.c_str(), &status) == 0)
            return status.st_dev;
        if (!folder.has_relative_path())
            return std::nullopt;
    }
}

bool TrashService::moveToTrash(const fs::path& item) const {
    const auto original = originalLocation(item);
    struct stat status {};
    if (!original || ::lstat(original->c_str(), &status) != 0)
        return false;
    const auto trash =
        status.st_dev == homeTrashDevice()
            ? TrashDirectory::home(homeTrash_)
            : TrashDirectory::forTopDirectory(topDirectoryOf(original->parent_path()), ::getuid());
    return trash && trash->receive(*original);
}

} // namespace quillfen
