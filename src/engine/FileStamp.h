#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <sys/stat.h>

namespace quillfen {

// What the comparison looks at: the size (present only for a regular file)
// and the modification time at full precision.
struct FileStamp {
    std::optional<std::int64_t> size;
    std::optional<std::chrono::nanoseconds> modified; // since the epoch

    static FileStamp of(const struct stat& status);
};

// True when the source must be copied over the destination: the sizes differ,
// or the source is later by at least `granularity` (a destination file system
// that keeps coarse times rounds a copied time down by less than that).
bool needsCopy(const FileStamp& source, const FileStamp& destination,
               std::chrono::nanoseconds granularity);

// The modification-time resolution of the file system holding `fd`.
std::chrono::nanoseconds timeGranularityOf(int fd);

} // namespace quillfen
