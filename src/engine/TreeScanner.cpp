#include "engine/TreeScanner.h"

#include "engine/FileSystemError.h"
#include "engine/ListingPaths.h"
#include "engine/TemporaryFile.h"

#include <cstdlib>
#include <memory>

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
                         TemporaryFiles temporaryFiles, FileFilter keep)
    : matcher_(patterns), onExcluded_(std::move(onExcluded)), temporaryFiles_(temporaryFiles),
      keep_(std::move(keep)) {}

TreeScanner::Result TreeScanner::scan(const std::filesystem::path& root) {
    result_ = {};
    folderAtDepth_.assign(1, TreeListing::kRoot);
    root_ = resolvedPath(root);
    if (!root_.empty()) {
        TreeWalker walker(*this, TreeWalker::Stat::whereTypeUnknown);
        walker.walk(root_);
    }
    return std::move(result_);
}

// The walk is depth first: an item's folder is the last one met one level up.
TreeWalker::Step TreeScanner::visit(const TreeWalker::Item& item) {
    const auto kind = item.kind == TreeWalker::Kind::directory ? ItemKind::folder : ItemKind::file;
    if (matcher_.matches(item.relativePath, kind)) {
        if (onExcluded_)
            onExcluded_(item.relativePath);
        return TreeWalker::Step::skipContents;
    }
    const auto folder = folderAtDepth_[item.depth];
    const auto name = std::string_view(item.relativePath).substr(item.nameOffset);
    if (item.kind == TreeWalker::Kind::directory) {
        folderAtDepth_.resize(item.depth + 1);
        folderAtDepth_.push_back(result_.listing.addFolder(folder, name));
    } else if (item.kind == TreeWalker::Kind::regularFile) {
        if (temporaryFiles_ == TemporaryFiles::setApart && TemporaryFile::isTemporaryName(name)) {
            result_.temporaryFiles.push_back(item.relativePath);
        } else {
            ++result_.filesFound;
            if (!keep_ || keep_(result_.listing, folder, name))
                result_.listing.addFile(folder, name);
        }
    }
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
    auto scan = TreeScanner(patterns, onExcluded).scan(root);
    ScanResult result;
    result.files.reserve(scan.listing.fileCount());
    ListingPaths paths(scan.listing);
    for (TreeListing::Index file = 0; file < scan.listing.fileCount(); ++file)
        result.files.push_back(paths.of(file));
    result.unreadableFolders = std::move(scan.unreadableFolders);
    return result;
}

} // namespace quillfen
