#include "storage/UnreadableCopy.h"

#include "storage/AtomicFile.h"

#include <string>
#include <system_error>

namespace quillfen {
namespace {

namespace fs = std::filesystem;

// "20261206T101500Z": the ISO form without separators, safe in a file name.
std::string utcStamp(Date when) {
    std::string stamp = formatIsoDate(when);
    std::erase_if(stamp, [](char character) { return character == '-' || character == ':'; });
    return stamp;
}

bool hasIdenticalCopy(const fs::path& folder, const std::string& prefix, std::string_view bytes) {
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const auto name = it->path().filename().string();
        if (name.starts_with(prefix) && readFileBytes(it->path()) == bytes)
            return true;
    }
    return false;
}

// Two different damaged contents within one second must not share a name.
fs::path freeName(const fs::path& folder, const std::string& base) {
    fs::path candidate = folder / base;
    std::error_code error;
    for (int number = 2; fs::exists(fs::symlink_status(candidate, error)); ++number)
        candidate = folder / (base + "-" + std::to_string(number));
    return candidate;
}

} // namespace

void keepUnreadableCopy(const fs::path& file, std::string_view bytes, Date when) {
    if (bytes.empty())
        return;
    const fs::path folder = file.parent_path();
    const std::string prefix = file.filename().string() + ".unreadable-";
    if (hasIdenticalCopy(folder, prefix, bytes))
        return;
    // Only whoever could read the file may read its copy.
    std::error_code error;
    const auto permissions = fs::status(file, error).permissions();
    writeFileAtomically(freeName(folder, prefix + utcStamp(when)), bytes,
                        error ? std::optional<fs::perms>() : permissions);
}

} // namespace quillfen
