#pragma once

#include "engine/FileDescriptor.h"

#include <filesystem>
#include <string>

namespace quillfen {

// A copy's content on its way into place: a file under a random name in the
// destination's folder, removed again unless it was renamed into place. The
// process knows all of them, so that one about to end at once can remove
// them first.
class TemporaryFile {
public:
    // Takes over `fd`, the file `name` just created in `folder`.
    TemporaryFile(int folder, std::string name, int fd);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return fd_.get(); }

    // Renames the file over `target`. A folder standing there is removed
    // only now that the new content is complete. Throws FileSystemError.
    void place(const std::string& target, const std::filesystem::path& targetPath);

    // Removes every temporary file of this process that is not yet in place.
    static void removeAll();

private:
    const int folder_;
    const std::string name_;
    FileDescriptor fd_;
    bool placed_ = false;
};

} // namespace quillfen
