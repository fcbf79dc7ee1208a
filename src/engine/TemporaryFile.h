#pragma once

#include "engine/FileDescriptor.h"

#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <string_view>

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

    // Renames the file over `target`. A folder standing there is never
    // removed here: `clearFolder`, when given, is asked to take it away
    // (and throws when it cannot); without it the copy fails with
    // SyncError::folderInTheWay. Throws FileSystemError or SyncError.
    void place(const std::string& target, const std::filesystem::path& targetPath,
               const std::function<void()>& clearFolder);

    // A fresh name of the form ".quillfen-XXXXXXXX.tmp" (eight lower-case
    // letters or digits).
    static std::string randomName(std::mt19937_64& random);
    // True for exactly the names randomName() gives: a run that holds its
    // destination may remove such files, left behind by a run that was
    // killed. A name that merely resembles one is the user's.
    static bool isTemporaryName(std::string_view name);

    // Removes every temporary file of this process that is not yet in place.
    static void removeAll();

private:
    const int folder_;
    const std::string name_;
    FileDescriptor fd_;
    bool placed_ = false;
};

} // namespace quillfen
