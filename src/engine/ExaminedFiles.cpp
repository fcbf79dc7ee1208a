#include "engine/ExaminedFiles.h"

namespace quillfen {
namespace {

constexpr unsigned kDestinationBits = 2;

} // namespace

// Seven bits a byte, the lowest first; a set high bit says more follow.
void ExaminedFiles::Recorder::add(const Facts& facts) {
    auto value = (static_cast<std::uint64_t>(facts.size) << kDestinationBits) |
                 static_cast<std::uint64_t>(facts.destination);
    while (value >= 0x80) {
        bytes_->push_back(static_cast<std::uint8_t>(value | 0x80));
        value >>= 7;
    }
    bytes_->push_back(static_cast<std::uint8_t>(value));
}

ExaminedFiles::Reader::Reader(const ExaminedFiles& files) : files_(&files), left_(files.count_) {
    if (!files.ranges_.empty())
        at_ = files.ranges_.front().begin();
    decode();
}

void ExaminedFiles::Reader::next() {
    --left_;
    decode();
}

void ExaminedFiles::Reader::decode() {
    if (left_ == 0) {
        facts_ = {};
        return;
    }
    while (at_ == files_->ranges_[range_].end())
        at_ = files_->ranges_[++range_].begin();
    std::uint64_t value = 0;
    for (unsigned shift = 0;; shift += 7) {
        const std::uint8_t byte = *at_++;
        value |= static_cast<std::uint64_t>(byte & 0x7f) << shift;
        if ((byte & 0x80) == 0)
            break;
    }
    facts_.size = static_cast<std::int64_t>(value >> kDestinationBits);
    facts_.destination = static_cast<Destination>(value & ((1u << kDestinationBits) - 1));
}

} // namespace quillfen
