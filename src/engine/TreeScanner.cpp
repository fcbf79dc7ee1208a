#include "engine/TreeScanner.h"

#include "engine/FileSystemError.h"
#include "engine/TemporaryFile.h"

#include <cstdlib>
#include <memory>
#include <string_view>

namespace quillfen {
namespace {

// realpath(3) rather than std::filesystem::canonical: no exception for a root
// that does not exist, which scans as empty.
std::filesystem::path resolvedPath(const std::filesystem::path& path) {
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                         &std::free);
    return resolved ? std::filesystem::path(resolved.get()) : std::filesystem::path();
}

} // namespace

TreeScanner::TreeScanner(const std::vector<std::string>& patterns,
                         std::function<void(const std::string&)> onExcluded,
                         TemporaryFiles temporaryFiles)
    : matcher_(patterns), onExcluded_(std::move(onExcluded)), temporaryFiles_(temporaryFiles) {}

ScanResult TreeScanner::scan(const std::filesystem::path& root) {
    result_ = {};
    root_ = resolvedPath(root);
    if (!root_.empty()) {
        TreeWalker walker(*this, TreeWalker::Stat::whereTypeUnknown);
        walker.walk(root_);
    }
    return std::move(result_);
}

TreeWalker::Step TreeScanner::visit(const TreeWalker::Item& item) {
    const auto kind = item.kind == TreeWalker::Kind::directory ? ItemKind::folder : ItemKind::file;
    if (matcher_.matches(item.relativePath, kind)) {
        if (onExcluded_)
            onExcluded_(item.relativePath);
        return TreeWalker::Step::skipContents;
    }
    if (item.kind != TreeWalker::Kind::regularFile)
        return TreeWalker::Step::proceed;
    const bool setApart =
        temporaryFiles_ == TemporaryFiles::setApart &&
        TemporaryFile::isTemporaryName(std::string_view(item.relativePath).substr(item.nameOffset));
    (setApart ? result_.temporaryFiles : result_.files).push_back(item.relativePath);
    return TreeWalker::Step::proceed;
}

void TreeScanner::folderUnreadable(const std::string& relativePath, int) {
    result_.unreadableFolders.push_back(relativePath);
}

TreeWalker::Step TreeScanner::attributesUnreadable(const std::string& relativePath,
                                                   int errorNumber) {
    throw FileSystemError(errorNumber, root_ / relativePath);
}

ScanResult SyncEngine::scanFiles(const std::filesystem::path& root,
                                 const std::vector<std::string>& patterns,
                                 const std::function<void(const std::string&)>& onExcluded) const {
    return TreeScanner(patterns, onExcluded).scan(root);
}

} // namespace quillfen
