#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace quillfen::test {

// Lets other users pass through every folder from `path` up to "/", so that
// a child running as `nobody` can reach a tree inside the test's own folder.
void makeReachableByOthers(const std::filesystem::path& path);

// Runs `work` in a forked child that has dropped root privileges to the
// `nobody` user (where permission bits really deny access) and returns what it
// produced. A child that fails returns "child failed".
std::string runAsNobody(const std::function<std::string()>& work);

// Builds a chain of `depth` nested folders named `component` below `parent`,
// one openat at a time so the chain can be deeper than PATH_MAX, and writes
// an empty file named `fileName` in every one of them.
void makeDeepChain(const std::filesystem::path& parent, const std::string& component, int depth,
                   const std::string& fileName);

// Removes a tree of any depth (std::filesystem::remove_all fails past PATH_MAX).
void removeDeepTree(const std::filesystem::path& path);

} // namespace quillfen::test
