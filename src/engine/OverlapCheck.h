#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quillfen {

// Refuses a folder pair where one folder is the other or lies inside it, seen
// through symbolic links and bind mounts; a run there would copy into its own
// source or mirror away what it reads. A destination inside the source is
// allowed when the source scan never enters it: an exclusion rule keeps it,
// or a folder above it, out, so nothing the run writes is read back.
class OverlapCheck {
public:
    // Throws SyncError::overlap. `source` must exist; `destination` need not.
    // `excludePatterns` are the run's rules.
    static void ensureSeparate(const std::filesystem::path& source,
                               const std::filesystem::path& destination,
                               const std::vector<std::string>& excludePatterns);

private:
    static bool isWithin(const std::filesystem::path& inner, const std::filesystem::path& outer);
    static bool sharesFolder(const std::filesystem::path& inner, const std::filesystem::path& outer,
                             const std::filesystem::path& top = {});
    static std::optional<std::filesystem::path>
    excludedFolderAbove(const std::filesystem::path& inner, const std::filesystem::path& outer,
                        const std::vector<std::string>& excludePatterns);
};

} // namespace quillfen
