#pragma once

#include <filesystem>

namespace quillfen::tools {

// A home folder of its own for a program that drives the application
// outside the tests: HOME and the XDG folders point into a fresh temporary
// folder, removed again at the end, and no session bus is reachable, so
// nothing touches the real home or reaches the real desktop. Made before
// the QApplication.
class ThrowawayHome {
public:
    ThrowawayHome();
    ~ThrowawayHome();
    ThrowawayHome(const ThrowawayHome&) = delete;
    ThrowawayHome& operator=(const ThrowawayHome&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace quillfen::tools
