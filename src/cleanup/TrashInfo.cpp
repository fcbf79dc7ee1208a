#include "cleanup/TrashInfo.h"

#include <array>

namespace quillfen {
namespace {

// A directory entry holds at most 255 bytes, and the info file adds its suffix.
constexpr std::size_t kMaxTrashName = 255 - std::string_view(".trashinfo").size();
// A longer "extension" is part of the name, not a type to keep.
constexpr std::size_t kMaxExtension = 32;

bool isUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

// Cuts `text` to at most `size` bytes without splitting a UTF-8 sequence.
std::string_view cutAt(std::string_view text, std::size_t size) {
    if (text.size() <= size)
        return text;
    while (size > 0 && (static_cast<unsigned char>(text[size]) & 0xC0) == 0x80)
        --size;
    return text.substr(0, size);
}

std::string localTimeText(std::time_t when) {
    std::tm parts{};
    localtime_r(&when, &parts);
    std::array<char, 32> buffer{};
    const auto size = std::strftime(buffer.data(), buffer.size(), "%Y-%m-%dT%H:%M:%S", &parts);
    return std::string(buffer.data(), size);
}

} // namespace

std::string trashInfoContents(std::string_view pathText, std::time_t deletedAt) {
    return "[Trash Info]\nPath=" + percentEncodePath(pathText) +
           "\nDeletionDate=" + localTimeText(deletedAt) + "\n";
}

std::string percentEncodePath(std::string_view path) {
    static constexpr std::string_view kHex = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(path.size());
    for (const char byte : path) {
        const auto c = static_cast<unsigned char>(byte);
        if (c == '/' || isUnreserved(c)) {
            encoded += byte;
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 0x0F];
        }
    }
    return encoded;
}

std::string trashCandidateName(std::string_view name, int attempt) {
    // A leading dot starts a hidden name, not an extension.
    const auto dot = name.rfind('.');
    const bool hasExtension =
        dot != std::string_view::npos && dot > 0 && name.size() - dot <= kMaxExtension;
    const auto stem = hasExtension ? name.substr(0, dot) : name;
    const auto extension = hasExtension ? name.substr(dot) : std::string_view();
    std::string suffix = attempt > 1 ? " " + std::to_string(attempt) : std::string();
    suffix += extension;
    return std::string(cutAt(stem, kMaxTrashName - suffix.size())) + suffix;
}

} // namespace quillfen
