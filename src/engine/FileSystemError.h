#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace quillfen {

// A failed system call on one path. The description names the path and the
// reason in the operating system's own wording: "/dst/a: Not a directory".
class FileSystemError : public std::runtime_error {
public:
    FileSystemError(int errorNumber, const std::filesystem::path& path);

    int errorNumber() const { return errorNumber_; }
    const std::filesystem::path& path() const { return path_; }

private:
    int errorNumber_;
    std::filesystem::path path_;
};

} // namespace quillfen
