#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace quillfen::test {

// The names in a folder, sorted; empty when it cannot be listed.
inline std::vector<std::string> folderNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error))
        names.push_back(it->path().filename().string());
    std::ranges::sort(names);
    return names;
}

// The names in a folder that start with a prefix.
inline std::vector<std::string> namesStartingWith(const std::filesystem::path& folder,
                                                  const std::string& prefix) {
    auto names = folderNames(folder);
    std::erase_if(names, [&](const std::string& name) { return !name.starts_with(prefix); });
    return names;
}

} // namespace quillfen::test
