#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace quillfen::test {

enum class Privileges { kept, dropped };

// Runs `work` in a forked child, so a test may change what a whole process owns
// (its limits, mounts, user), and returns what it returned, or "child failed"
// and why. Dropped privileges make it `nobody`, to whom permission bits apply.
std::string runInChild(const std::function<std::string()>& work,
                       Privileges privileges = Privileges::kept);

// Gives up root for `nobody`; false when the process may not.
bool dropPrivileges();

// Opens `folders` to everyone, and their parents up to the isolated root to passage.
void openToEveryone(const std::vector<std::filesystem::path>& folders);

// openToEveryone(folders), then runInChild(work) as `nobody`.
std::string runAsNobody(const std::vector<std::filesystem::path>& folders,
                        const std::function<std::string()>& work);

} // namespace quillfen::test
