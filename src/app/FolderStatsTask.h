#pragma once

#include "app/BackgroundRunner.h"
#include "records/FolderStats.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace quillfen {

// Keeps one folder's statistics current: each refresh cancels the count
// before it, and only the newest count ever publishes its figures.
class FolderStatsTask {
public:
    // The callbacks run on the main thread whenever stats() or isComputing()
    // changed.
    FolderStatsTask(std::chrono::milliseconds cap, std::function<void()> onStatsChanged,
                    std::function<void()> onComputingChanged);

    void refresh(const std::string& path);

    const std::optional<FolderStats>& stats() const { return stats_; }
    bool isComputing() const { return isComputing_; }

private:
    void setStats(std::optional<FolderStats> stats);
    void setComputing(bool computing);

    std::chrono::milliseconds cap_;
    std::function<void()> onStatsChanged_;
    std::function<void()> onComputingChanged_;
    std::optional<FolderStats> stats_;
    bool isComputing_ = false;
    // Which refresh may still publish; earlier counts are superseded.
    int generation_ = 0;
    BackgroundRunner::Task current_;
    BackgroundRunner runner_;
};

} // namespace quillfen
