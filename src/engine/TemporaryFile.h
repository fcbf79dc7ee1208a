#pragma once

#include "engine/FileDescriptor.h"
#include "engine/FileLocation.h"

#include <functional>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace quillfen {

// A copy's content on its way into place, in the destination's folder. Where
// the system allows, it is a file without a name (O_TMPFILE) that takes the
// target's name once complete: it appears whole or not at all and vanishes
// with the process. Otherwise it is a file under a random name, removed again
// unless it was renamed into place; the process knows all of these, so that
// one about to end at once can remove them first.
class TemporaryFile {
public:
    // A file without a name in `folder`, with the permission bits `mode` (the
    // umask applies); none, with errno set, where there are no such files.
    // The first one may come with a random name, while the process learns
    // how to give such files a name. Keeps `random` for a name it may need.
    static std::unique_ptr<TemporaryFile> createUnnamed(int folder, mode_t mode,
                                                        std::mt19937_64& random);
    // A file under a random name in `folder`; none, with errno set, when it
    // cannot be created.
    static std::unique_ptr<TemporaryFile> createNamed(int folder, mode_t mode,
                                                      std::mt19937_64& random);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return fd_.get(); }
    bool isUnnamed() const { return name_.empty(); }

    // Puts the file in place as `target`. A file without a name takes the
    // name where it is free; anything standing there is replaced by a rename,
    // as for a named file. A folder standing there is never removed here:
    // `clearFolder`, when given, is asked to take it away (and throws when it
    // cannot); without it the copy fails with SyncError::folderInTheWay.
    // Throws FileSystemError or SyncError.
    void place(const std::string& target, const FileLocation& targetPath,
               const std::function<void()>& clearFolder);

    // A fresh name of the form ".quillfen-XXXXXXXX.tmp" (eight lower-case
    // letters or digits).
    static std::string randomName(std::mt19937_64& random);
    // True for exactly the names randomName() gives: a run that holds its
    // destination may remove such files, left behind by a run that was
    // killed. A name that merely resembles one is the user's.
    static bool isTemporaryName(std::string_view name);

    // Removes every named temporary file of this process not yet in place.
    static void removeAll();

private:
    TemporaryFile(int folder, FileDescriptor fd, std::mt19937_64& random);

    bool linkAs(const std::string& name) const;
    bool takeRandomName();
    void registerName();
    void replace(const std::string& target, const FileLocation& targetPath,
                 const std::function<void()>& clearFolder);

    const int folder_;
    FileDescriptor fd_;
    std::mt19937_64& random_;
    std::string name_; // empty while the file has none
    bool placed_ = false;
};

} // namespace quillfen
