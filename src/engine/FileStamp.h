#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <sys/stat.h>

namespace quillfen {

// What the comparison looks at: the size, which only a regular file has, and
// the modification time at full precision. Kept small: a run holds one per
// source file.
struct FileStamp {
    static constexpr std::int64_t kNoSize = -1;

    std::int64_t size = kNoSize;
    struct timespec modified {};

    bool hasSize() const { return size != kNoSize; }

    static FileStamp of(const struct stat& status);
    // The size a run counts for a file: 0 when it has none or was not read.
    static std::int64_t countedSize(const std::optional<FileStamp>& stamp);
};

// True when the source must be copied over the destination: the sizes differ,
// or the source is later by at least `granularity` (a destination file system
// that keeps coarse times rounds a copied time down by less than that). A
// destination time without a fraction of a second matches any source time in
// the same second.
bool needsCopy(const FileStamp& source, const FileStamp& destination,
               std::chrono::nanoseconds granularity);

// The modification-time resolution of the file system holding `fd`.
std::chrono::nanoseconds timeGranularityOf(int fd);

} // namespace quillfen
