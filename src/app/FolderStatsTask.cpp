#include "app/FolderStatsTask.h"

#include "engine/SyncEngine.h"

namespace quillfen {

FolderStatsTask::FolderStatsTask(std::chrono::milliseconds cap,
                                 std::function<void()> onStatsChanged,
                                 std::function<void()> onComputingChanged)
    : cap_(cap), onStatsChanged_(std::move(onStatsChanged)),
      onComputingChanged_(std::move(onComputingChanged)) {}

void FolderStatsTask::refresh(const std::string& path) {
    current_.requestStop();
    const int generation = ++generation_;
    setStats(std::nullopt);
    if (path.empty()) {
        setComputing(false);
        return;
    }
    setComputing(true);
    current_ = runner_.start(
        [path, cap = cap_](const BackgroundRunner::Context& context) {
            return SyncEngine::computeFolderStats(path, context.stopToken(), cap);
        },
        [this, generation](BackgroundRunner::Outcome<FolderStats> outcome) {
            if (generation != generation_)
                return;
            if (auto* stats = std::get_if<FolderStats>(&outcome))
                setStats(*stats);
            setComputing(false);
        });
}

void FolderStatsTask::setStats(std::optional<FolderStats> stats) {
    stats_ = stats;
    onStatsChanged_();
}

void FolderStatsTask::setComputing(bool computing) {
    if (isComputing_ == computing)
        return;
    isComputing_ = computing;
    onComputingChanged_();
}

} // namespace quillfen
