#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace quillfen::test {

enum class Privileges { kept, dropped };

// Runs `work` in a forked child and returns what it returned ("child failed"
// and the reason when it threw, could not drop its privileges or died), so a
// test may change what a whole process owns: its limits, its mounts, its user.
// With dropped privileges the child runs as `nobody`, for whom permission bits
// take effect as they do not for root.
std::string runInChild(const std::function<std::string()>& work,
                       Privileges privileges = Privileges::kept);

// Gives up root for `nobody`; false when the process may not.
bool dropPrivileges();

// Opens `folders` to everyone and makes their parents up to the isolated root
// passable, so that `nobody` can reach them.
void openToEveryone(const std::vector<std::filesystem::path>& folders);

// openToEveryone(folders), then runInChild(work) as `nobody`.
std::string runAsNobody(const std::vector<std::filesystem::path>& folders,
                        const std::function<std::string()>& work);

} // namespace quillfen::test
