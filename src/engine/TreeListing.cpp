#include "engine/TreeListing.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <stdexcept>

namespace quillfen {
namespace {

constexpr unsigned kBlockBits = 18; // 256 KiB: a name never spans two blocks
constexpr std::size_t kBlockSize = std::size_t(1) << kBlockBits;
constexpr std::size_t kMaxBlocks = std::size_t(1) << (32 - kBlockBits);

} // namespace

TreeListing::TreeListing() : blockUsed_(kBlockSize) {
    folders_.push_back({kNone, store({})});
}

TreeListing::TreeListing(TreeListing&&) noexcept = default;
TreeListing& TreeListing::operator=(TreeListing&&) noexcept = default;
TreeListing::~TreeListing() = default;

TreeListing::Index TreeListing::addFolder(Index parent, std::string_view name) {
    if (files_.size() + folders_.size() >= kMaxItems)
        throw std::length_error("Too many items in one tree");
    folders_.push_back({parent, store(name)});
    return static_cast<Index>(folders_.size() - 1);
}

void TreeListing::addFile(Index folder, std::string_view name) {
    if (files_.size() + folders_.size() >= kMaxItems)
        throw std::length_error("Too many items in one tree");
    if (runs_.empty() || runs_.back().folder != folder)
        runs_.push_back({fileCount(), folder});
    files_.push_back(store(name));
}

TreeListing::Index TreeListing::folderOfFile(Index file) const {
    const auto after =
        std::upper_bound(runs_.begin(), runs_.end(), file,
                         [](Index index, const Run& run) { return index < run.firstFile; });
    return std::prev(after)->folder;
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
    std::memcpy(at, name.data(), name.size());
    at[name.size()] = '\0';
    const auto position = ((blocks_.size() - 1) << kBlockBits) | blockUsed_;
    blockUsed_ += name.size() + 1;
    return static_cast<NameRef>(position);
}

const char* TreeListing::nameAt(NameRef name) const {
    return blocks_[name >> kBlockBits].get() + (name & (kBlockSize - 1));
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

} // namespace quillfen
