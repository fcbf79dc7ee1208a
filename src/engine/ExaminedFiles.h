#pragma once

#include "engine/TreeListing.h"

#include <cstdint>
#include <deque>

namespace quillfen {

// What a run or a preview learns of each listed file before it copies: the
// size and what stands at the destination. Both go into one number written
// in as few bytes as it needs, mostly one or two, so that a tree of millions
// of files costs little. The files are recorded in order, a range of them by
// each thread, and read back in order.
class ExaminedFiles {
public:
    enum class Destination : std::uint8_t {
        unknown,  // not examined, or the examination failed
        absent,   // nothing there
        upToDate, // a copy the comparison accepts
        outdated, // anything else: a file to replace, a folder, a link
    };

    struct Facts {
        std::int64_t size = 0; // 0 when it could not be read
        Destination destination = Destination::unknown;
    };

    // Records the facts of one range of files, in order.
    class Recorder {
    public:
        void add(const Facts& facts);

    private:
        friend class ExaminedFiles;
        explicit Recorder(std::deque<std::uint8_t>& bytes) : bytes_(&bytes) {}
        std::deque<std::uint8_t>* bytes_;
    };

    // Goes through the facts of every file, from the first.
    class Reader {
    public:
        explicit Reader(const ExaminedFiles& files);

        // Of the file the reader is at; none past the last.
        const Facts& facts() const { return facts_; }
        void next();

    private:
        void decode();

        const ExaminedFiles* files_;
        TreeListing::Index left_;
        std::size_t range_ = 0;
        std::deque<std::uint8_t>::const_iterator at_;
        Facts facts_;
    };

    explicit ExaminedFiles(TreeListing::Index count) : count_(count) {}

    // The recorder of the next range: the files after those of the ranges
    // asked for before. Ask for every range before recording any, and record
    // every file of each.
    Recorder recorder() { return Recorder(ranges_.emplace_back()); }

private:
    TreeListing::Index count_;
    std::deque<std::deque<std::uint8_t>> ranges_;
};

} // namespace quillfen
