#pragma once

#include <filesystem>

namespace quillfen {

// Refuses a folder pair where one folder is the other or lies inside it, seen
// through symbolic links and bind mounts; a run there would copy into its own
// source or mirror away what it reads.
class OverlapCheck {
public:
    // Throws SyncError::overlap. `source` must exist; `destination` need not.
    static void ensureSeparate(const std::filesystem::path& source,
                               const std::filesystem::path& destination);

private:
    static bool isWithin(const std::filesystem::path& inner, const std::filesystem::path& outer);
    static bool sharesFolder(const std::filesystem::path& inner,
                             const std::filesystem::path& outer);
};

} // namespace quillfen
