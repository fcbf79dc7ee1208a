#pragma once

#include <filesystem>
#include <string_view>

namespace quillfen {

// Where a file is, for messages: its path is made only when one is needed.
// Most copies never fail, and a run of many small files would otherwise
// spend a good share of its time making paths. Holds references: it lives
// for one call.
class FileLocation {
public:
    FileLocation(const std::filesystem::path& path) : base_(path) {}
    FileLocation(const std::filesystem::path& root, std::string_view relativePath)
        : base_(root), relativePath_(relativePath) {}

    std::filesystem::path path() const {
        return relativePath_.empty() ? base_ : base_ / relativePath_;
    }

private:
    const std::filesystem::path& base_;
    std::string_view relativePath_;
};

} // namespace quillfen
