#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen::test {

// A fresh folder under TMPDIR, removed with everything in it on destruction.
class TempDir {
public:
    explicit TempDir(std::string_view prefix = "dir-");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view relative) const { return path_ / relative; }

    // Writes a file (creating its parent folders) and returns its path.
    std::filesystem::path write(std::string_view relative, std::string_view content) const;

private:
    std::filesystem::path path_;
};

// Reads a whole file; empty when it cannot be read.
std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, std::string_view content);

// The sorted names in a folder that start with `prefix`; none when it cannot be listed.
std::vector<std::string> folderNames(const std::filesystem::path& folder,
                                     std::string_view prefix = "");

} // namespace quillfen::test
