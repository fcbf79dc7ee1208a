#include "app/FolderStatsTask.h"

#include "engine/SyncEngine.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>

#include <stop_token>
#include <thread>

namespace quillfen {

struct FolderStatsTask::Count {
    std::stop_source stop;
};

FolderStatsTask::FolderStatsTask(QObject* receiver, std::chrono::milliseconds cap,
                                 std::function<void()> onStatsChanged,
                                 std::function<void()> onComputingChanged)
    : receiver_(receiver), cap_(cap), onStatsChanged_(std::move(onStatsChanged)),
      onComputingChanged_(std::move(onComputingChanged)) {}

FolderStatsTask::~FolderStatsTask() {
    if (current_)
        current_->stop.request_stop();
}

void FolderStatsTask::refresh(const std::string& path) {
    if (current_)
        current_->stop.request_stop();
    current_.reset();
    setStats(std::nullopt);
    if (path.empty()) {
        setComputing(false);
        return;
    }
    setComputing(true);
    auto count = std::make_shared<Count>();
    current_ = count;
    QPointer<QObject> guard(receiver_);
    std::thread([this, count, path, guard, cap = cap_] {
        const FolderStats stats =
            SyncEngine::computeFolderStats(path, count->stop.get_token(), cap);
        auto* application = QCoreApplication::instance();
        if (count->stop.stop_requested() || application == nullptr)
            return;
        // `this` lives as long as its receiver; the guard is checked on the
        // main thread, where the receiver is destroyed.
        QMetaObject::invokeMethod(
            application,
            [this, count, guard, stats] {
                if (!guard || count->stop.stop_requested() || current_ != count)
                    return;
                setStats(stats);
                setComputing(false);
            },
            Qt::QueuedConnection);
    }).detach();
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
