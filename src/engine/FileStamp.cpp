#include "engine/FileStamp.h"

#include <sys/vfs.h>

namespace quillfen {
namespace {

using std::chrono::nanoseconds;

// statfs f_type values of the file systems that keep coarse times.
constexpr long kMsdosMagic = 0x4d44;
constexpr long kExfatMagic = 0x2011bab0;
constexpr long kNtfsMagic = 0x5346544e;
constexpr long kFuseMagic = 0x65735546;
constexpr long kCifsMagic = 0xff534d42;
constexpr long kSmb2Magic = 0xfe534d42;
constexpr long kHfsPlusMagic = 0x482b;

} // namespace

FileStamp FileStamp::of(const struct stat& status) {
    return {S_ISREG(status.st_mode) ? status.st_size : kNoSize, status.st_mtim};
}

std::int64_t FileStamp::countedSize(const std::optional<FileStamp>& stamp) {
    return stamp && stamp->hasSize() ? stamp->size : 0;
}

bool needsCopy(const FileStamp& source, const FileStamp& destination, nanoseconds granularity) {
    if (source.size != destination.size)
        return true;
    // A destination that keeps whole seconds only (ext4 with small inodes,
    // some network and FUSE file systems) truncates every copied time; what
    // its type says is no guide there.
    if (destination.modified.tv_nsec == 0 && source.modified.tv_sec == destination.modified.tv_sec)
        return false;
    // 128 bits: times far from the epoch must not overflow.
    const auto since = [](const struct timespec& time) {
        return static_cast<__int128>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
    };
    return since(source.modified) - since(destination.modified) >=
           std::max<std::int64_t>(granularity.count(), 1);
}

nanoseconds timeGranularityOf(int fd) {
    struct statfs info {};
    if (::fstatfs(fd, &info) != 0)
        return nanoseconds(1);
    switch (static_cast<long>(info.f_type) & 0xffffffffL) {
    case kMsdosMagic:
        return std::chrono::seconds(2);
    case kExfatMagic:
        return std::chrono::milliseconds(10);
    case kNtfsMagic:
    case kFuseMagic:
    case kCifsMagic:
    case kSmb2Magic:
        return nanoseconds(100);
    case kHfsPlusMagic:
        return std::chrono::seconds(1);
    default:
        return nanoseconds(1);
    }
}

} // namespace quillfen
