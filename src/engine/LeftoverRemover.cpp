#include "engine/LeftoverRemover.h"

#include "engine/TemporaryFile.h"

#include <exception>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>

namespace quillfen {

void LeftoverRemover::removeFrom(FolderCursor destination) noexcept {
    LeftoverRemover remover;
    try {
        TreeWalker(remover, TreeWalker::Stat::whereTypeUnknown)
            .walk(FileDescriptor(::fcntl(destination.rootFd(), F_DUPFD_CLOEXEC, 0)));
    } catch (const std::exception&) {
        // Out of memory part-way: remove what was found.
    }
    remove(destination, remover.found_);
}

void LeftoverRemover::remove(FolderCursor& destination,
                             const std::vector<std::string>& paths) noexcept {
    try {
        for (const auto& path : paths) {
            const int folder = destination.parentOf(path, MissingFolders::leave);
            if (folder != FolderCursor::kMissing)
                ::unlinkat(folder, std::string(FolderCursor::nameOf(path)).c_str(), 0);
        }
    } catch (const std::exception&) {
        // A folder gone or replaced meanwhile: the rest waits for the next run.
    }
}

TreeWalker::Step LeftoverRemover::visit(const TreeWalker::Item& item) {
    if (item.kind == TreeWalker::Kind::regularFile &&
        TemporaryFile::isTemporaryName(std::string_view(item.relativePath).substr(item.nameOffset)))
        found_.push_back(item.relativePath);
    return TreeWalker::Step::proceed;
}

} // namespace quillfen
