#pragma once

#include "engine/FileDescriptor.h"
#include "engine/FileStamp.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillfen {

// What a lookup does about folders missing on the way to a path.
enum class MissingFolders { leave, create };

// Open handles to the folders along one path below a root folder. Files come
// depth first, so consecutive files mostly share their folder and the handles
// are reused. No symbolic link below the root is ever followed.
class FolderCursor {
public:
    static constexpr int kMissing = -1;
    // Handles kept open along a path; a deeper tree reopens folders by name.
    static constexpr std::size_t kMaxOpenFolders = 32;

    FolderCursor(FileDescriptor root, std::filesystem::path rootPath);

    // A second cursor on the same root, for another thread. Throws
    // FileSystemError.
    FolderCursor clone() const;

    // The handle of the folder holding `relativePath`'s last component, or
    // kMissing when a folder on the way is missing and left so. Throws
    // FileSystemError (a link or a file in the way, ...).
    int parentOf(std::string_view relativePath, MissingFolders missing);

    // What stands at `relativePath` itself, links not followed; none when
    // nothing does. Throws FileSystemError.
    std::optional<FileStamp> stampOf(std::string_view relativePath, MissingFolders missing);

    int rootFd() const { return root_.get(); }
    const std::filesystem::path& rootPath() const { return rootPath_; }
    std::filesystem::path pathOf(std::string_view relativePath) const;

    static std::string_view nameOf(std::string_view relativePath);

private:
    int deepest();
    void limitOpenHandles();
    int openChild(int parentFd, const std::string& name, MissingFolders missing,
                  std::string_view prefix);

    FileDescriptor root_;
    std::filesystem::path rootPath_;
    std::vector<std::pair<std::string, FileDescriptor>> chain_;
    std::string missing_; // the folder last found missing, if any
    std::string current_; // the folder the chain leads to, when hasCurrent_
    bool hasCurrent_ = false;
};

} // namespace quillfen
