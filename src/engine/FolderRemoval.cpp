#include "engine/FolderRemoval.h"

#include "engine/FileSystemError.h"
#include "engine/FolderCursor.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace quillfen {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// A folder that still holds something: the item that stayed was reported.
bool stillHoldsSomething(int errorNumber) {
    return errorNumber == ENOTEMPTY || errorNumber == EEXIST;
}

} // namespace

bool FolderRemoval::remove(int parentFd, const std::string& name, const std::string& relativePath,
                           const std::filesystem::path& path) {
    relativePath_ = relativePath;
    path_ = path;
    entries_.clear();
    FileDescriptor folder(::openat(parentFd, name.c_str(), kFolderFlags));
    FileDescriptor listing(folder.isOpen() ? ::fcntl(folder.get(), F_DUPFD_CLOEXEC, 0) : -1);
    if (!listing.isOpen() ||
        !TreeWalker(*this, TreeWalker::Stat::whereTypeUnknown).walk(std::move(listing))) {
        fail({}, errno);
        return false;
    }
    // The walk gives each folder before what it holds: removing in reverse
    // empties every folder before its own turn.
    FolderCursor tree(std::move(folder), path);
    for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry) {
        const int at = tree.parentOf(entry->relativePath, MissingFolders::leave);
        const std::string item(FolderCursor::nameOf(entry->relativePath));
        if (at != FolderCursor::kMissing &&
            ::unlinkat(at, item.c_str(), entry->isFolder ? AT_REMOVEDIR : 0) == 0) {
            if (!entry->isFolder && onDeleted)
                onDeleted(relativePath_ + '/' + entry->relativePath);
        } else if (at == FolderCursor::kMissing || !stillHoldsSomething(errno)) {
            fail(entry->relativePath, at == FolderCursor::kMissing ? ENOENT : errno);
        }
    }
    if (::unlinkat(parentFd, name.c_str(), AT_REMOVEDIR) == 0)
        return true;
    if (!stillHoldsSomething(errno))
        fail({}, errno);
    return false;
}

TreeWalker::Step FolderRemoval::visit(const TreeWalker::Item& item) {
    entries_.push_back({item.relativePath, item.kind == TreeWalker::Kind::directory});
    return TreeWalker::Step::proceed;
}

void FolderRemoval::folderUnreadable(const std::string& relativePath, int errorNumber) {
    fail(relativePath, errorNumber);
}

TreeWalker::Step FolderRemoval::attributesUnreadable(const std::string& relativePath,
                                                     int errorNumber) {
    fail(relativePath, errorNumber);
    return TreeWalker::Step::proceed;
}

void FolderRemoval::fail(const std::string& inner, int errorNumber) {
    if (!onFailed)
        return;
    const auto reported = inner.empty() ? relativePath_ : relativePath_ + '/' + inner;
    onFailed(reported, FileSystemError(errorNumber, inner.empty() ? path_ : path_ / inner).what());
}

} // namespace quillfen
