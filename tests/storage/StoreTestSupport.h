#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace quillfen::test {

// The sorted names in a folder that start with a prefix (all by default).
inline std::vector<std::string> folderNames(const std::filesystem::path& folder,
                                            const std::string& prefix = "") {
    std::vector<std::string> names;
    for (const auto& item : std::filesystem::directory_iterator(folder))
        if (const auto name = item.path().filename().string(); name.starts_with(prefix))
            names.push_back(name);
    std::ranges::sort(names);
    return names;
}

} // namespace quillfen::test
