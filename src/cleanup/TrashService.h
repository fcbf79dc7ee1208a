#pragma once

#include <filesystem>
#include <optional>
#include <sys/types.h>

namespace quillfen {

// Moves items to the desktop Trash as freedesktop.org desktops lay it out:
// the home trash for items on its file system, the top-directory trash of
// the item's own file system otherwise. Never deletes and never copies: an
// item that cannot be renamed into a trash stays where it is.
class TrashService {
public:
    // `homeTrash` is the user's own trash folder ("$XDG_DATA_HOME/Trash");
    // it is made, with its parents, when an item first goes there.
    explicit TrashService(std::filesystem::path homeTrash);

    const std::filesystem::path& homeTrash() const { return homeTrash_; }

    // The mount point of the file system that holds `folder` (an existing
    // folder given without symbolic links).
    static std::filesystem::path topDirectoryOf(const std::filesystem::path& folder);

    // Moves `item` itself (a symbolic link is trashed as the link) into the
    // trash; false when it is missing or cannot be moved.
    bool moveToTrash(const std::filesystem::path& item) const;

private:
    // The device the home trash is (or will be) on.
    std::optional<dev_t> homeTrashDevice() const;

    std::filesystem::path homeTrash_;
};

} // namespace quillfen
