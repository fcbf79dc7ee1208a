#pragma once

#include "records/FolderStats.h"

#include <QObject>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace quillfen {

// Keeps one folder's statistics current: each refresh cancels the count
// before it, and only the newest count ever publishes its figures.
class FolderStatsTask {
public:
    // `onChange` is called on the main thread whenever stats() or
    // isComputing() changed.
    FolderStatsTask(QObject* receiver, std::chrono::milliseconds cap,
                    std::function<void()> onStatsChanged, std::function<void()> onComputingChanged);
    ~FolderStatsTask();
    FolderStatsTask(const FolderStatsTask&) = delete;
    FolderStatsTask& operator=(const FolderStatsTask&) = delete;

    void refresh(const std::string& path);

    const std::optional<FolderStats>& stats() const { return stats_; }
    bool isComputing() const { return isComputing_; }

private:
    struct Count;
    void setStats(std::optional<FolderStats> stats);
    void setComputing(bool computing);

    QObject* receiver_;
    std::chrono::milliseconds cap_;
    std::function<void()> onStatsChanged_;
    std::function<void()> onComputingChanged_;
    std::shared_ptr<Count> current_;
    std::optional<FolderStats> stats_;
    bool isComputing_ = false;
};

} // namespace quillfen
