#include "engine/TreeListing.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace quillfen {
namespace {

constexpr unsigned kBlockBits = 18; // 256 KiB: a name never spans two blocks
constexpr std::size_t kBlockSize = std::size_t(1) << kBlockBits;
constexpr std::size_t kMaxBlocks = std::size_t(1) << (32 - kBlockBits);
// Short runs keep a file found at random a few names away.
constexpr TreeListing::Index kRunFiles = 16;

} // namespace

TreeListing::TreeListing() : blockUsed_(kBlockSize) {
    folders_.push_back({kNone, store({})});
}

TreeListing::TreeListing(TreeListing&&) noexcept = default;
TreeListing& TreeListing::operator=(TreeListing&&) noexcept = default;
TreeListing::~TreeListing() = default;

TreeListing::Index TreeListing::addFolder(Index parent, std::string_view name) {
    if (fileCount_ + folders_.size() >= kMaxItems)
        throw std::length_error("Too many items in one tree");
    folders_.push_back({parent, store(name)});
    runOpen_ = false;
    return static_cast<Index>(folders_.size() - 1);
}

void TreeListing::addFile(Index folder, std::string_view name) {
    if (fileCount_ + folders_.size() >= kMaxItems)
        throw std::length_error("Too many items in one tree");
    const auto blocks = blocks_.size();
    const NameRef stored = store(name);
    if (!runOpen_ || blocks_.size() != blocks || runs_.back().folder != folder ||
        fileCount_ - runs_.back().firstFile == kRunFiles)
        runs_.push_back({fileCount_, folder, stored});
    runOpen_ = true;
    ++fileCount_;
}

TreeListing::NameRef TreeListing::store(std::string_view name) {
    // A file name is at most NAME_MAX bytes; a longer one cannot be stored.
    if (name.size() >= kBlockSize)
        throw std::length_error("Name too long");
    if (blockUsed_ + name.size() + 1 > kBlockSize) {
        if (blocks_.size() == kMaxBlocks)
            throw std::length_error("Too many names in one tree");
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlockSize));
        blockUsed_ = 0;
    }
    char* at = blocks_.back().get() + blockUsed_;
    std::copy(name.begin(), name.end(), at); // the empty root name has no data at all
    at[name.size()] = '\0';
    const auto position = ((blocks_.size() - 1) << kBlockBits) | blockUsed_;
    blockUsed_ += name.size() + 1;
    return static_cast<NameRef>(position);
}

const char* TreeListing::nameAt(NameRef name) const {
    return blocks_[name >> kBlockBits].get() + (name & (kBlockSize - 1));
}

std::size_t TreeListing::runOf(Index file) const {
    const auto after =
        std::upper_bound(runs_.begin(), runs_.end(), file,
                         [](Index index, const Run& run) { return index < run.firstFile; });
    return static_cast<std::size_t>(after - runs_.begin()) - 1;
}

TreeListing::Index TreeListing::folderOfFile(Index file) const {
    return runs_[runOf(file)].folder;
}

const char* TreeListing::fileName(Index file) const {
    return Cursor(*this, file).name();
}

std::string TreeListing::folderPath(Index folder) const {
    std::vector<const char*> names;
    std::size_t length = 0;
    for (; folder != kRoot; folder = parentOf(folder)) {
        names.push_back(folderName(folder));
        length += std::strlen(names.back()) + 1;
    }
    std::string path;
    path.reserve(length);
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        if (!path.empty())
            path += '/';
        path += *name;
    }
    return path;
}

std::string TreeListing::filePath(Index file) const {
    std::string path = folderPath(folderOfFile(file));
    if (!path.empty())
        path += '/';
    return path += fileName(file);
}

TreeListing::Cursor::Cursor(const TreeListing& listing, Index file)
    : listing_(&listing), run_(listing.runOf(file)), file_(listing.runs_[run_].firstFile),
      name_(listing.nameAt(listing.runs_[run_].firstName)) {
    while (file_ < file) {
        name_ += std::strlen(name_) + 1;
        ++file_;
    }
}

TreeListing::Index TreeListing::Cursor::folder() const {
    return listing_->runs_[run_].folder;
}

void TreeListing::Cursor::next() {
    ++file_;
    const auto& runs = listing_->runs_;
    if (run_ + 1 < runs.size() && runs[run_ + 1].firstFile == file_)
        name_ = listing_->nameAt(runs[++run_].firstName);
    else
        name_ += std::strlen(name_) + 1;
}

} // namespace quillfen
