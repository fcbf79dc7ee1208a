#pragma once

#include "records/SyncProgress.h"

#include <chrono>

namespace quillfen::cli {

// A live one-line progress display on standard error, shown only when that
// is a terminal and redrawn at most ten times a second.
class ProgressLine {
public:
    ProgressLine();
    ~ProgressLine() { clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void show(const SyncProgress& progress);
    // Removes the line, so that other output starts on a clean line.
    void clear();

private:
    bool enabled_;
    bool visible_ = false;
    std::chrono::steady_clock::time_point lastDrawn_;
};

} // namespace quillfen::cli
